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

void GridModel::SetRows(std::vector<int> boundSlots, int minRows) {
    beginResetModel();
    slots_ = std::move(boundSlots);
    rows_ = leadRows() + std::max(static_cast<int>(slots_.size()), minRows);
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

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    const int row = index.row();
    if (row < leadRows()) return index.column() < lead_.size() ? lead_[index.column()] : QString();
    const int slot = SlotAt(row);
    if (slot < 0) return QString();
    if (index.column() == 0) return ui::FromLatin1(rowtext::RowNumber(row - leadRows() + 1));
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
        for (int c = 0; c < model()->columnCount(); ++c)
            setColumnHidden(c, c != 0);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        grid_->setFocus(Qt::MouseFocusReason);
        const bool onRow = indexAt(event->position().toPoint()).isValid();
        if (onRow) QTableView::mousePressEvent(event);
        grid_->Pressed(event->button(), onRow);
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override { grid_->mouseDoubleClickEvent(event); }
    void mouseMoveEvent(QMouseEvent* event) override {
        QTableView::mouseMoveEvent(event);
        if (event->buttons() & Qt::LeftButton) emit grid_->MouseMove();
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        QTableView::mouseReleaseEvent(event);
        emit grid_->MouseUp();
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
    connect(frozenRows, &QScrollBar::rangeChanged, this,
            [rows, frozenRows] { frozenRows->setValue(rows->value()); });
    connect(header, &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        if (section != 0) return;
        frozen_->setColumnWidth(0, size);
        PlaceFrozenColumn();
    });
    connect(frozen_->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int section, int, int size) {
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
}

int StringGrid::RowCount() const {
    return model_->rowCount() + FixedRows();
}

int StringGrid::SlotOfRow(int row) const {
    return row < FixedRows() ? -1 : model_->SlotAt(modelRow(row));
}

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
    for (int c = 1; c < model_->columnCount(); ++c)
        r = r.united(visualRect(model_->index(m, c)));
    return r;
}

int StringGrid::RowAt(const QPoint& pos) const {
    const QModelIndex index = indexAt(pos);
    return index.isValid() ? gridRow(index.row()) : -1;
}

void StringGrid::SetColumnWidths(const std::vector<int>& widths) {
    for (size_t c = 0; c < widths.size(); ++c)
        setColumnWidth(static_cast<int>(c), widths[c]);
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
    const bool onRow = indexAt(event->position().toPoint()).isValid();
    if (onRow)
        QTableView::mousePressEvent(event);
    else
        setFocus(Qt::MouseFocusReason); // a press on the empty area below the rows keeps the selection
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
    if (event->buttons() & Qt::LeftButton) emit MouseMove();
}

void StringGrid::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    emit MouseUp();
}

void StringGrid::keyPressEvent(QKeyEvent* event) {
    const int before = Row();
    QTableView::keyPressEvent(event);
    const int after = Row();
    if (after != before) {
        // Keep the whole row selected, as a click would.
        SetRow(after);
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

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
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
