#include "StringGrid.h"

#include "RowTexts.h"
#include "ui/FormSetup.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

// ---------------------------------------------------------------- GridModel

GridModel::GridModel(QStringList headers, int columns, CellText text, QObject* parent)
    : QAbstractTableModel(parent), headers_(std::move(headers)), columns_(columns), text_(std::move(text)) {
    rows_ = leadRows() + 1;
}

void GridModel::SetRows(std::vector<int> listSlots, int minRows) {
    list_ = std::move(listSlots);
    minRows_ = minRows;
    MakeRows();
}

void GridModel::SetFilter(std::function<bool(int slot)> keep) {
    keep_ = std::move(keep);
    MakeRows();
}

void GridModel::MakeRows() {
    beginResetModel();
    places_.clear();
    if (keep_) {
        slots_.clear();
        for (size_t i = 0; i < list_.size(); ++i) {
            if (!keep_(list_[i])) continue;
            slots_.push_back(list_[i]);
            places_.push_back(static_cast<int>(i));
        }
    } else {
        slots_ = list_;
    }
    rows_ = leadRows() + std::max(static_cast<int>(slots_.size()), minRows_);
    endResetModel();
}

void GridModel::SetLeadRow(const QStringList& texts) {
    lead_ = texts;
    if (leadRows() > 0) emit dataChanged(index(0, 0), index(0, columns_ - 1));
}

int GridModel::SlotAt(int row) const {
    const int i = row - leadRows();
    return i >= 0 && i < static_cast<int>(slots_.size()) ? slots_[static_cast<size_t>(i)] : -1;
}

int GridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int GridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : columns_; }

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    const int row = index.row();
    if (row < leadRows()) return index.column() < lead_.size() ? lead_[index.column()] : QString();
    const int slot = SlotAt(row);
    if (slot < 0) return QString();
    if (index.column() == 0) {
        const int i = row - leadRows();
        return ui::FromLatin1(rowtext::RowNumber((places_.empty() ? i : places_[static_cast<size_t>(i)]) + 1));
    }
    return text_(slot, index.column());
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return section < headers_.size() ? headers_[section] : QString();
}

void GridModel::Refresh() {
    if (rows_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, columns_ - 1));
}

// ------------------------------------------------------------- FrozenColumn

// Column 0 of a grid, drawn over the grid's own column 0 so that it stays in
// place while the other columns scroll sideways. It shares the grid's model
// and selection, follows its rows and vertical scrolling, never takes the
// focus, and passes every mouse action to the grid.
class FrozenColumn : public QTableView {
public:
    explicit FrozenColumn(StringGrid* grid) : QTableView(grid), grid_(grid) {
        setObjectName(QStringLiteral("FrozenColumn"));
        setModel(grid->model());
        setSelectionModel(grid->selectionModel());
        setItemDelegate(new GridDelegate(grid));
        setSelectionMode(grid->selectionMode());
        setSelectionBehavior(grid->selectionBehavior());
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        setVerticalScrollMode(grid->verticalScrollMode());
        setWordWrap(false);
        setFocusPolicy(Qt::NoFocus);
        setFrameShape(QFrame::NoFrame);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setContextMenuPolicy(Qt::CustomContextMenu);
        setFont(grid->font());

        verticalHeader()->hide();
        verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        verticalHeader()->setMinimumSectionSize(grid->verticalHeader()->minimumSectionSize());
        verticalHeader()->setDefaultSectionSize(grid->verticalHeader()->defaultSectionSize());

        const QHeaderView* from = grid->horizontalHeader();
        QHeaderView* header = horizontalHeader();
        header->setVisible(!from->isHidden());
        header->setFont(from->font());
        header->setHighlightSections(false);
        header->setSectionsClickable(false);
        header->setDefaultAlignment(from->defaultAlignment());
        header->setSectionResizeMode(QHeaderView::Interactive);
        header->setStretchLastSection(false);
        header->setFixedHeight(from->height());
        header->setMinimumSectionSize(from->minimumSectionSize());
        ShowColumnZeroOnly();
        setColumnWidth(0, grid->columnWidth(0));
    }

    void ShowColumnZeroOnly() {
        for (int c = 0; c < model()->columnCount(); ++c) setColumnHidden(c, c != 0);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        grid_->setFocus(Qt::MouseFocusReason);
        const QModelIndex index = indexAt(event->position().toPoint());
        const bool onRow = index.isValid();
        if (onRow) {
            QTableView::mousePressEvent(event);
            grid_->PressSelect(grid_->gridRow(index.row()), event->button(), event->modifiers());
        }
        grid_->Pressed(event->button(), onRow);
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override { grid_->mouseDoubleClickEvent(event); }
    void mouseMoveEvent(QMouseEvent* event) override {
        QTableView::mouseMoveEvent(event);
        if (event->buttons() & Qt::LeftButton) {
            grid_->DragSelect();
            emit grid_->MouseMove();
        }
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        QTableView::mouseReleaseEvent(event);
        grid_->ReleaseSelect();
        emit grid_->MouseUp();
    }
    // While the grid selects several rows it makes every selection itself.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index, const QEvent* event) const override {
        if (grid_->MultiSelect() && event) return QItemSelectionModel::NoUpdate;
        return QTableView::selectionCommand(index, event);
    }
    void wheelEvent(QWheelEvent* event) override { grid_->wheelEvent(event); }

private:
    StringGrid* grid_;
};

// --------------------------------------------------------------- StringGrid

StringGrid::StringGrid(GridModel* model, QWidget* parent) : QTableView(parent), model_(model) {
    model_->setParent(this);
    setModel(model_);
    setItemDelegate(new GridDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setFont(ui::ArialPx(14));

    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(20);

    QHeaderView* header = horizontalHeader();
    header->setVisible(model_->HasHeaderRow());
    header->setFont(ui::ArialPx(14));
    header->setHighlightSections(false);
    header->setSectionsClickable(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(false);
    header->setFixedHeight(20);
    header->setMinimumSectionSize(8);

    frozen_ = new FrozenColumn(this);
    viewport()->stackUnder(frozen_);
    connect(model_, &QAbstractItemModel::modelReset, frozen_, &FrozenColumn::ShowColumnZeroOnly);
    // Both views keep the same first row on screen and the same width of column 0.
    QScrollBar* rows = verticalScrollBar();
    QScrollBar* frozenRows = frozen_->verticalScrollBar();
    connect(rows, &QScrollBar::valueChanged, frozenRows, &QScrollBar::setValue);
    connect(frozenRows, &QScrollBar::valueChanged, rows, &QScrollBar::setValue);
    connect(frozenRows, &QScrollBar::rangeChanged, this, [rows, frozenRows] { frozenRows->setValue(rows->value()); });
    connect(header, &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        if (section != 0) return;
        frozen_->setColumnWidth(0, size);
        PlaceFrozenColumn();
    });
    connect(frozen_->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        if (section == 0) setColumnWidth(0, size);
    });
    connect(frozen_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        emit customContextMenuRequested(viewport()->mapFromGlobal(frozen_->viewport()->mapToGlobal(pos)));
    });

    // A refill keeps the current row where it was, as far as the new rows
    // reach; both views have reset the shared selection by then.
    connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, [this] { savedRow_ = Row(); });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { SetRow(savedRow_); });
    SetRow(FixedRows());
}

void StringGrid::PlaceFrozenColumn() {
    const QRect view = viewport()->geometry();
    const int top = horizontalHeader()->isHidden() ? view.top() : horizontalHeader()->geometry().top();
    frozen_->setGeometry(view.left(), top, std::min(columnWidth(0), view.width()), view.bottom() - top + 1);
}

void StringGrid::updateGeometries() {
    QTableView::updateGeometries();
    if (frozen_) PlaceFrozenColumn();
}

void StringGrid::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (!index.isValid()) return;
    QScrollBar* sideways = horizontalScrollBar();
    const int kept = sideways->value();
    QTableView::scrollTo(index, hint);
    if (index.column() == 0) {
        sideways->setValue(kept);
        return;
    }
    const int hidden = columnWidth(0) - columnViewportPosition(index.column());
    if (hidden > 0) sideways->setValue(sideways->value() - hidden);
}

// ------------------------------------------------------------ several rows

void StringGrid::SetMultiSelect(bool on) {
    if (on == multi_) return;
    multi_ = on;
    setSelectionMode(on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    if (!on) SetRow(Row());
    blockPress_ = false;
}

QItemSelectionModel::SelectionFlags StringGrid::selectionCommand(const QModelIndex& index, const QEvent* event) const {
    // Mouse and keys select through PressSelect, DragSelect and keyPressEvent.
    if (multi_ && event) return QItemSelectionModel::NoUpdate;
    return QTableView::selectionCommand(index, event);
}

std::vector<int> StringGrid::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& i : selectionModel()->selectedRows()) rows.push_back(gridRow(i.row()));
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::vector<int> StringGrid::SelectedSlots() const {
    std::vector<int> found;
    for (int row : SelectedRows())
        if (const int slot = SlotOfRow(row); slot >= 0) found.push_back(slot);
    if (found.empty())
        if (const int slot = SlotOfRow(Row()); slot >= 0) found.push_back(slot);
    return found;
}

void StringGrid::SelectRows(const std::vector<int>& rows) {
    QItemSelection selection;
    const int last = model_->columnCount() - 1;
    for (size_t i = 0; i < rows.size();) {
        // Runs of neighbouring rows as one range each.
        size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1) ++j;
        if (rows[i] >= FixedRows() && rows[j] < RowCount())
            selection.select(model_->index(modelRow(rows[i]), 0), model_->index(modelRow(rows[j]), last));
        i = j + 1;
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

int StringGrid::SelectSlots(const std::vector<int>& wanted) {
    std::vector<int> rows;
    for (int slot : wanted)
        if (const int row = RowOfSlot(slot); row > 0) rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.empty()) return 0;
    if (!multi_) rows.resize(1);
    SetRow(rows.front());
    scrollTo(model_->index(modelRow(rows.front()), 1));
    SelectRows(rows);
    return static_cast<int>(rows.size());
}

void StringGrid::SelectRange(int from, int to) {
    std::vector<int> rows;
    for (int r = std::min(from, to); r <= std::max(from, to); ++r) rows.push_back(r);
    SelectRows(rows);
}

void StringGrid::PressSelect(int row, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    if (!multi_) return;
    const bool inSelection = selectionModel()->isRowSelected(modelRow(row), {});
    if (button == Qt::LeftButton) {
        pressRow_ = row;
        rowChanged_ = false;
        plainPress_ = !(modifiers & (Qt::ShiftModifier | Qt::ControlModifier));
        blockPress_ = false;
        if (modifiers & Qt::ShiftModifier) {
            SelectRange(anchor_, row);
        } else if (modifiers & Qt::ControlModifier) {
            selectionModel()->select(model_->index(modelRow(row), 0),
                                     (inSelection ? QItemSelectionModel::Deselect : QItemSelectionModel::Select) |
                                         QItemSelectionModel::Rows);
            anchor_ = row;
        } else if (inSelection && SelectedRows().size() > 1) {
            blockPress_ = true; // a click makes it one row at the release, a drag moves the block
            anchor_ = row;
        } else {
            SelectRows({row});
            anchor_ = row;
        }
    } else if (!inSelection) {
        // A press of another button inside the selection keeps it (the popup acts on it).
        SelectRows({row});
        anchor_ = row;
    }
}

void StringGrid::DragSelect() {
    if (!multi_ || pressRow_ < 0) return;
    if (Row() != pressRow_) rowChanged_ = true;
    // A single row follows the mouse, as a drag move expects; a block stays
    // selected and moves with the drag.
    if (plainPress_ && !blockPress_) SelectRows({Row()});
}

void StringGrid::ReleaseSelect() {
    if (multi_ && blockPress_ && !rowChanged_) SelectRows({pressRow_});
    blockPress_ = false;
    pressRow_ = -1;
}

int StringGrid::Row() const {
    const QModelIndex cur = currentIndex();
    return cur.isValid() ? gridRow(cur.row()) : FixedRows();
}

void StringGrid::SetRow(int row) {
    const int last = RowCount() - 1;
    row = std::clamp(row, FixedRows(), std::max(FixedRows(), last));
    const QModelIndex index = model_->index(modelRow(row), 1 < model_->columnCount() ? 1 : 0);
    if (!index.isValid()) return;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    anchor_ = row;
}

int StringGrid::RowCount() const { return model_->rowCount() + FixedRows(); }

int StringGrid::SlotOfRow(int row) const { return row < FixedRows() ? -1 : model_->SlotAt(modelRow(row)); }

int StringGrid::RowOfSlot(int slot) const {
    const std::vector<int>& bound = model_->Slots();
    for (size_t i = 0; i < bound.size(); ++i)
        if (bound[i] == slot) return static_cast<int>(i) + 1;
    return -1;
}

QRect StringGrid::RowRect(int row) const {
    if (row < FixedRows() || row >= RowCount()) return {};
    const int m = modelRow(row);
    QRect r = visualRect(model_->index(m, 0));
    for (int c = 1; c < model_->columnCount(); ++c) r = r.united(visualRect(model_->index(m, c)));
    return r;
}

int StringGrid::RowAt(const QPoint& pos) const {
    const QModelIndex index = indexAt(pos);
    return index.isValid() ? gridRow(index.row()) : -1;
}

void StringGrid::SetColumnWidths(const std::vector<int>& widths) {
    for (size_t c = 0; c < widths.size(); ++c) setColumnWidth(static_cast<int>(c), widths[c]);
}

CellStyle StringGrid::StyleOf(int row, int col, bool selected) const {
    if (style_) return style_(row, col, selected);
    CellStyle s;
    if (col == 0 || row < FixedRows()) {
        s.background = QColor(221, 221, 221);
        s.fixed = true;
    }
    return s;
}

void StringGrid::ScrollLines(int lines) {
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->value() + lines);
}

void StringGrid::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    const bool onRow = index.isValid();
    if (onRow) {
        QTableView::mousePressEvent(event);
        PressSelect(gridRow(index.row()), event->button(), event->modifiers());
    } else {
        setFocus(Qt::MouseFocusReason); // a press on the empty area below the rows keeps the selection
    }
    Pressed(event->button(), onRow);
}

void StringGrid::Pressed(Qt::MouseButton button, bool onRow) {
    if (onRow && button == Qt::LeftButton) emit Click();
    emit MouseDown(button);
}

void StringGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    emit DblClick();
}

void StringGrid::mouseMoveEvent(QMouseEvent* event) {
    // While the left button is held the whole-row selection follows the
    // mouse (the view's drag selection), so the current row is the row under
    // it. Moves without the button say nothing about a drag.
    QTableView::mouseMoveEvent(event);
    if (event->buttons() & Qt::LeftButton) {
        DragSelect();
        emit MouseMove();
    }
}

void StringGrid::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    ReleaseSelect();
    emit MouseUp();
}

void StringGrid::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::AltModifier) {
        static const std::pair<int, dbase::MoveKind> moves[] = {{Qt::Key_Up, dbase::MoveKind::Up},
                                                                {Qt::Key_Down, dbase::MoveKind::Down},
                                                                {Qt::Key_Home, dbase::MoveKind::Top},
                                                                {Qt::Key_End, dbase::MoveKind::Bottom}};
        for (const auto& [key, kind] : moves)
            if (event->key() == key) {
                event->accept();
                emit MoveKey(kind);
                return;
            }
    }
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::NoModifier &&
        (event->key() == Qt::Key_F2 || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        event->accept();
        emit EditKey();
        return;
    }
    if (multi_ && event->matches(QKeySequence::SelectAll)) {
        std::vector<int> rows;
        rows.reserve(static_cast<size_t>(std::max(0, model_->BoundRows())));
        for (int r = 0; r < model_->BoundRows(); ++r) rows.push_back(gridRow(r));
        SelectRows(rows);
        event->accept();
        return;
    }
    const int before = Row();
    QTableView::keyPressEvent(event);
    const int after = Row();
    if (after != before) {
        if (multi_ && (event->modifiers() & Qt::ShiftModifier))
            SelectRange(anchor_, after);
        else
            SetRow(after); // the whole row selected, as a click would
        emit Click();
    }
}

void StringGrid::wheelEvent(QWheelEvent* event) {
    wheelRemainder_ += event->angleDelta().y();
    while (wheelRemainder_ <= -120) {
        wheelRemainder_ += 120;
        emit MouseWheelDown();
    }
    while (wheelRemainder_ >= 120) {
        wheelRemainder_ -= 120;
        emit MouseWheelUp();
    }
    event->accept();
}

// ------------------------------------------------------------- GridDelegate

GridDelegate::GridDelegate(StringGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const bool selected = option.state & QStyle::State_Selected;
    const int row = index.row() + grid_->FixedRows();
    const CellStyle s = grid_->StyleOf(row, index.column(), selected);
    const QRect r = option.rect;
    painter->save();
    painter->fillRect(r, s.background);
    painter->setClipRect(r);
    painter->setFont(grid_->font());
    painter->setPen(s.text);
    const QString text = index.data(Qt::DisplayRole).toString();
    const QFontMetrics fm(grid_->font());
    painter->drawText(QPoint(r.left() + s.textDx, r.top() + 1 + fm.ascent()), text);
    if (s.fixed) {
        // A raised inner edge: light on the top and left, dark on the bottom and right.
        painter->setPen(Qt::white);
        painter->drawLine(r.topLeft(), r.topRight());
        painter->drawLine(r.topLeft(), r.bottomLeft());
        painter->setPen(QColor(128, 128, 128));
        painter->drawLine(r.bottomLeft(), r.bottomRight());
        painter->drawLine(r.topRight(), r.bottomRight());
    }
    if (grid_->hasFocus() && index == grid_->currentIndex()) {
        QPen pen(Qt::black, 1, Qt::DotLine);
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(r.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}
