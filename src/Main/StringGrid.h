// The list grids of the main window: a table view over a model that holds only
// the slot numbers of its rows and renders their texts from the database on
// demand, so refilling a grid of 3,000 rows costs a copy of 3,000 integers.
//
// Rows are counted as the user sees them: in a grid with a header row that
// header is row 0 and the first data row is row 1; the satellite grid has no
// header and its row 0 is a data row.
//
// Column 0 (the row numbers) stays in place when the grid scrolls sideways:
// a second view over the same model and selection shows it above the
// scrolling columns, and hands every mouse action on it to the grid.
//
// A grid may let the user select several rows (Shift and Ctrl with a click
// or the arrows, Ctrl+A); a plain click still selects one row, and a plain
// press inside a selection of several rows keeps it for a drag of the block.
#pragma once

#include "editing/Moves.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>
#include <QStyledItemDelegate>
#include <QTableView>

#include <functional>
#include <vector>

// What one cell looks like.
struct CellStyle {
    QColor background = Qt::white; // the window colour
    QColor text = Qt::black;       // the window text colour
    bool fixed = false;            // drawn with a raised edge
    int textDx = 1;                // text offset from the cell's left edge
};

class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Text of column `col` (>= 1) of a row bound to `slot`, already trimmed.
    using CellText = std::function<QString(int slot, int col)>;

    // `headers` empty: the grid has no header row and its first model row is a
    // data row ("lead row") with its own fixed texts.
    GridModel(QStringList headers, int columns, CellText text, QObject* parent = nullptr);

    // Replaces the list: one bound row per slot the filter keeps, numbered
    // "NO.n: " by the slot's place in the list (n from 1), and unbound empty
    // rows up to `minRows` data rows.
    void SetRows(std::vector<int> listSlots, int minRows);
    // Keeps only the slots of the list for which `keep` holds; nullptr keeps
    // them all. The rows are made again from the list.
    void SetFilter(std::function<bool(int slot)> keep);
    bool Filtered() const { return static_cast<bool>(keep_); }
    // Texts of the lead row of a grid without header.
    void SetLeadRow(const QStringList& texts);

    bool HasHeaderRow() const { return !headers_.isEmpty(); }
    // Slot shown by model row `row`, or -1 when the row is unbound.
    int SlotAt(int row) const;
    int BoundRows() const { return static_cast<int>(slots_.size()); }
    // The slots of the bound rows, in row order.
    const std::vector<int>& Slots() const { return slots_; }
    // The list the rows come from, the slots the filter leaves out included.
    const std::vector<int>& ListSlots() const { return list_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Refreshes every visible text without changing the rows.
    void Refresh();

private:
    int leadRows() const { return HasHeaderRow() ? 0 : 1; }
    void MakeRows();

    QStringList headers_;
    int columns_;
    CellText text_;
    std::vector<int> list_, slots_;
    std::vector<int> places_; // with a filter: the list place of each bound row
    std::function<bool(int)> keep_;
    int minRows_ = 0;
    int rows_ = 0;
    QStringList lead_;
};

class FrozenColumn;

class StringGrid : public QTableView {
    Q_OBJECT
public:
    // Style of a cell in grid rows; `selected` is the selection state of its row.
    using CellStyleFn = std::function<CellStyle(int row, int col, bool selected)>;

    StringGrid(GridModel* model, QWidget* parent = nullptr);

    GridModel* gridModel() const { return model_; }

    // The current row (0 = header row in grids with a header).
    int Row() const;
    // Makes `row` current and selected without running the click handler.
    void SetRow(int row);
    // Number of rows including the header row.
    int RowCount() const;
    int FixedRows() const { return model_->HasHeaderRow() ? 1 : 0; }
    // Slot bound to grid row `row`, -1 when unbound.
    int SlotOfRow(int row) const;
    // Grid row bound to `slot`, -1 when no row shows it.
    int RowOfSlot(int slot) const;
    // Rectangle of grid row `row` in viewport coordinates (for tests and drag code).
    QRect RowRect(int row) const;
    // Grid row under a viewport position, -1 when none.
    int RowAt(const QPoint& pos) const;

    void SetColumnWidths(const std::vector<int>& widths);
    void SetCellStyle(CellStyleFn fn) { style_ = std::move(fn); }
    CellStyle StyleOf(int row, int col, bool selected) const;

    // Scrolls the rows by `lines` (positive: down) without moving the current row.
    void ScrollLines(int lines);

    // ---- Several rows ----
    // Lets the user select several rows (true) or one (false, which keeps
    // only the current row selected).
    void SetMultiSelect(bool on);
    bool MultiSelect() const { return multi_; }
    // The selected rows, ascending.
    std::vector<int> SelectedRows() const;
    // The slots of the selected bound rows in row order; without a selected
    // bound row, the current row's slot when it is bound.
    std::vector<int> SelectedSlots() const;
    // Selects exactly `rows`; the current row stays.
    void SelectRows(const std::vector<int>& rows);
    // Selects the rows that show `wanted` and makes the first of them current
    // (one row only while several can not be selected); returns the number
    // of rows selected.
    int SelectSlots(const std::vector<int>& wanted);
    // True between a plain left press inside a selection of several rows and
    // the release: a drag then moves the whole block.
    bool BlockPressed() const { return blockPress_; }

    // Scrolling sideways never hides column 0, and a scrolling column is
    // brought into view beside it rather than behind it.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

signals:
    // The current row was chosen by a left click or the keyboard. A click on
    // the current row runs it again.
    void Click();
    void DblClick();
    // Any mouse button went down over the grid (after Click).
    void MouseDown(Qt::MouseButton button);
    // The mouse moved over the grid with the left button held; the current
    // row is then the row under the mouse.
    void MouseMove();
    void MouseUp();
    // One notch of the wheel each.
    void MouseWheelDown();
    void MouseWheelUp();
    // Alt+Up, Alt+Down, Alt+Home or Alt+End: move the current entries.
    void MoveKey(dbase::MoveKind kind);
    // F2, Return or Enter: edit the current entry.
    void EditKey();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void updateGeometries() override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;

private:
    friend class FrozenColumn;

    int modelRow(int row) const { return row - FixedRows(); }
    int gridRow(int modelRow) const { return modelRow + FixedRows(); }
    // What follows a press on a row (`onRow`) or beside the rows.
    void Pressed(Qt::MouseButton button, bool onRow);
    void PlaceFrozenColumn();
    // The selection that follows a press on `row`, the mouse moving with the
    // left button held, and the release, while several rows can be selected.
    void PressSelect(int row, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void DragSelect();
    void ReleaseSelect();
    void SelectRange(int from, int to);

    GridModel* model_;
    FrozenColumn* frozen_ = nullptr;
    CellStyleFn style_;
    int savedRow_ = 0;
    int wheelRemainder_ = 0;
    bool multi_ = false;
    int anchor_ = 0;          // where a Shift selection starts
    int pressRow_ = -1;       // the row of the last left press
    bool plainPress_ = false; // ... made without Shift or Ctrl
    bool blockPress_ = false;
    bool rowChanged_ = false; // the current row moved while the button was held
};

// Paints every cell of a StringGrid from its CellStyle.
class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit GridDelegate(StringGrid* grid);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    StringGrid* grid_;
};
