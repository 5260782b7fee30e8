// Moving satellites, transponders and programs by dragging them up or down
// their grid.
//
// A drag is a series of single steps: each time the grid's current row (which
// follows the mouse while the left button is held) moves one row away from
// the row remembered at the mouse-down, the two entries exchange their slots
// in the database and the remembered row follows. The rows keep their slots
// and their numbers; only what the slots hold moves, so the grid's texts are
// refreshed and the rows keep their slots. The whole gesture, from the first
// exchange to the mouse-up, is one step of the history.
//
// A plain press inside a selection of several programs drags the whole
// block: each row crossed moves every selected program one place, past the
// program beside the block. The keyboard (Alt+Up, Alt+Down, Alt+Home,
// Alt+End) and "Move to position..." make the same exchanges in one step,
// and reach every place of the list: the guards that keep a drag out of the
// first rows do not hold for them.
#include "TFormMain.h"

#include "document/StepNames.h"
#include "editing/Moves.h"
#include "ui/InputDialog.h"

#include <QToolTip>

namespace {

// The step of the gesture under way, begun at its first exchange.
void GestureStep(dbase::Document& doc, const char* name) {
    if (!doc.InStep()) doc.BeginStep(name);
}

// Walks the remembered row `dragRow` towards `target` one row at a time, so
// a mouse that skips rows between two events still makes one exchange per
// row crossed. `step(row)` takes the step into `row` when its guards allow.
// Returns true when at least one step was taken.
template <class Step> bool FollowMouse(const int& dragRow, int target, Step step) {
    bool moved = false;
    while (dragRow != target) {
        const int next = dragRow + (target > dragRow ? 1 : -1);
        if (!step(next).taken) break;
        moved = true;
    }
    return moved;
}

} // namespace

void TFormMain::SG_SatMouseMove() {
    const bool moved = FollowMouse(dragRows_.Sat, SG_Sat->Row(), [&](int row) {
        GestureStep(Doc(), dbase::steps::MoveSatellite);
        return dbase::DragSatellites(
            Doc().StepDb(), SG_Sat->gridModel()->Slots(), dragRows_,
            {.selectedRow = row, .rowCount = SG_Sat->RowCount(), .focused = SG_Sat->hasFocus()});
    });
    if (!moved) return;
    SG_Sat->gridModel()->Refresh();
    // The shown transponders and programs keep their slots; their satellite
    // links have been mended with the exchange.
    SG_TP->viewport()->update();
}

void TFormMain::SG_TPMouseMove() {
    const bool moved = FollowMouse(dragRows_.Tp, SG_TP->Row(), [&](int row) {
        GestureStep(Doc(), dbase::steps::MoveTransponder);
        return dbase::DragTransponders(
            Doc().StepDb(), SG_TP->gridModel()->Slots(), dragRows_,
            {.selectedRow = row, .rowCount = SG_TP->RowCount(), .focused = SG_TP->hasFocus()});
    });
    if (!moved) return;
    SG_TP->gridModel()->Refresh();
}

bool TFormMain::ProgramMovesAllowed(StringGrid* grid, bool tell) const {
    if (Marks.Marking()) return false;
    if (!FilterOn()) return true;
    if (tell) QToolTip::showText(grid->mapToGlobal(grid->RowRect(grid->Row()).bottomLeft()), grid->toolTip(), grid);
    return false;
}

// One row crossed by a drag of the selected block: the block moves one place
// towards the mouse when neither the first nor the last program row would be
// entered (the guards of a single program's drag).
bool TFormMain::DragBlock(StringGrid* grid, int& dragRow) {
    std::vector<int> rows = grid->SelectedRows();
    bool moved = false;
    while (!rows.empty() && dragRow != grid->Row() && grid->hasFocus() && ProgramMovesAllowed(grid, false)) {
        const bool down = grid->Row() > dragRow;
        const int entered = down ? rows.back() + 1 : rows.front() - 1;
        if (entered <= 1 || entered >= grid->RowCount() - 1) break;
        std::vector<int> positions;
        positions.reserve(rows.size());
        for (int r : rows) positions.push_back(r - 1);
        GestureStep(Doc(), dbase::steps::MovePrograms);
        if (!dbase::MoveInList(Doc().StepDb(), dbase::ListOf::Programs, grid->gridModel()->Slots(), positions,
                               down ? dbase::MoveKind::Down : dbase::MoveKind::Up))
            break;
        for (int& r : rows) r += down ? 1 : -1;
        dragRow += down ? 1 : -1;
        moved = true;
    }
    if (moved) grid->SelectRows(rows);
    return moved;
}

void TFormMain::SG_TVMouseMove() {
    if (FilterOn()) return;
    if (SG_TV->BlockPressed()) {
        if (!DragBlock(SG_TV, dragRows_.Tv)) return;
        SG_TV->gridModel()->Refresh();
        SG_TP->viewport()->update();
        SG_Sat->viewport()->update();
        return;
    }
    const bool moved = FollowMouse(dragRows_.Tv, SG_TV->Row(), [&](int row) {
        GestureStep(Doc(), dbase::steps::MoveProgram);
        return dbase::DragTvPrograms(Doc().StepDb(), SG_TV->gridModel()->Slots(), dragRows_,
                                     {.selectedRow = row,
                                      .rowCount = SG_TV->RowCount(),
                                      .focused = SG_TV->hasFocus(),
                                      .markingMode = Marks.Marking()});
    });
    if (!moved) return;
    SG_TV->gridModel()->Refresh();
    SG_TP->viewport()->update();
    SG_Sat->viewport()->update();
}

void TFormMain::SG_RadioMouseMove() {
    if (FilterOn()) return;
    if (SG_Radio->BlockPressed()) {
        if (!DragBlock(SG_Radio, dragRows_.Radio)) return;
        SG_Radio->gridModel()->Refresh();
        SG_TP->viewport()->update();
        SG_Sat->viewport()->update();
        return;
    }
    const bool moved = FollowMouse(dragRows_.Radio, SG_Radio->Row(), [&](int row) {
        GestureStep(Doc(), dbase::steps::MoveProgram);
        return dbase::DragRadioPrograms(Doc().StepDb(), SG_Radio->gridModel()->Slots(), dragRows_,
                                        {.selectedRow = row,
                                         .rowCount = SG_Radio->RowCount(),
                                         .focused = SG_Radio->hasFocus(),
                                         .markingMode = Marks.Marking()});
    });
    if (!moved) return;
    SG_Radio->gridModel()->Refresh();
    SG_TP->viewport()->update();
    SG_Sat->viewport()->update();
}

// Releasing the button ends a drag without a drop of its own: every exchange
// has already been made.
void TFormMain::SG_TVMouseUp() {}
void TFormMain::SG_RadioMouseUp() {}

void TFormMain::EndDragStep() {
    if (Doc().InStep()) Doc().EndStep();
}

// ------------------------------------------------------------ moves in one step

void TFormMain::MoveEntries(StringGrid* grid, dbase::MoveKind kind, int to) {
    if (!Doc().FileOpened() || Doc().InStep()) return;
    const bool programs = grid == SG_TV || grid == SG_Radio;
    // The rows to move: the current satellite or transponder, the selected programs.
    std::vector<int> rows;
    if (programs) {
        if (!ProgramMovesAllowed(grid, true)) return;
        for (int r : grid->SelectedRows())
            if (grid->SlotOfRow(r) >= 0) rows.push_back(r);
        if (rows.empty() && grid->SlotOfRow(grid->Row()) >= 0) rows.push_back(grid->Row());
    } else if (grid->Row() >= 1 && grid->SlotOfRow(grid->Row()) >= 0) {
        // Transponders move only while one satellite is shown.
        if (grid == SG_TP && !(SatSelected && SelectedSat() >= 0)) return;
        rows.push_back(grid->Row());
    }
    if (rows.empty()) return;
    std::vector<int> positions;
    positions.reserve(rows.size());
    for (int r : rows) positions.push_back(r - 1);
    const dbase::ListOf what = grid == SG_Sat  ? dbase::ListOf::Satellites
                               : grid == SG_TP ? dbase::ListOf::Transponders
                                               : dbase::ListOf::Programs;
    const char* step = grid == SG_Sat         ? dbase::steps::MoveSatellite
                       : grid == SG_TP        ? dbase::steps::MoveTransponder
                       : positions.size() > 1 ? dbase::steps::MovePrograms
                                              : dbase::steps::MoveProgram;
    const std::vector<int> list = grid->gridModel()->Slots();
    const int current = grid->Row();
    std::vector<int> moved;
    const dbase::Status s = Doc().Edit(
        step, [&](dbase::Database& db) { return dbase::MoveInList(db, what, list, positions, kind, to, &moved); });
    if (!s || moved == positions) return;

    // The rows keep their slots; what the slots hold moved, and the selection
    // goes with it.
    std::vector<int> newRows;
    newRows.reserve(moved.size());
    for (int p : moved) newRows.push_back(p + 1);
    const auto at = std::find(rows.begin(), rows.end(), current);
    const int newCurrent = at != rows.end() ? newRows[static_cast<size_t>(at - rows.begin())] : newRows.front();
    grid->gridModel()->Refresh();
    grid->SetRow(newCurrent);
    grid->SelectRows(newRows);
    // The whole block in view where it fits, its current row in any case.
    grid->scrollTo(grid->model()->index(newRows.back() - grid->FixedRows(), 1));
    grid->scrollTo(grid->model()->index(newRows.front() - grid->FixedRows(), 1));
    grid->scrollTo(grid->model()->index(newCurrent - grid->FixedRows(), 1));
    SG_Sat->viewport()->update();
    SG_TP->viewport()->update();
    RepaintProgGrids();
    const int slot = grid->SlotOfRow(newCurrent);
    if (grid == SG_Sat && SatSelected)
        ShowInfo(slot, -1, -1);
    else if (grid == SG_TP && TpSelected)
        ShowInfo(-1, slot, -1);
    else if ((grid == SG_TV && TvSelected) || (grid == SG_Radio && RadioSelected))
        ShowInfo(-1, -1, slot);
}

void TFormMain::MoveToPositionClick(StringGrid* grid) {
    if (!Doc().FileOpened()) return;
    const bool programs = grid == SG_TV || grid == SG_Radio;
    if (programs && !ProgramMovesAllowed(grid, true)) return;
    if (grid == SG_TP && !(SatSelected && SelectedSat() >= 0)) return;
    const int listed = grid->gridModel()->BoundRows();
    int count = 1;
    if (programs) {
        count = 0;
        for (int r : grid->SelectedRows()) count += grid->SlotOfRow(r) >= 0;
        count = std::max(count, 1);
    }
    if (grid->SlotOfRow(grid->Row()) < 0 || (grid == SG_Sat && grid->Row() < 1) || listed < count) return;
    const int last = listed - count + 1;
    // Offered: where the entry, or the first of the selected block, stands now.
    int from = grid->Row();
    if (count > 1)
        for (int r : grid->SelectedRows())
            if (grid->SlotOfRow(r) >= 0) {
                from = r;
                break;
            }
    const QString what =
        programs ? (count > 1 ? QStringLiteral("the %1 selected programs").arg(count) : QStringLiteral("the program"))
        : grid == SG_TP ? QStringLiteral("the transponder")
                        : QStringLiteral("the satellite");
    const std::optional<int> position =
        ui::InputDialog::getNumber(this, QStringLiteral("Move to position"),
                                   QStringLiteral("Move %1 to position (1 to %2):").arg(what).arg(last), from, 1, last);
    if (position) MoveEntries(grid, dbase::MoveKind::To, *position - 1);
}
