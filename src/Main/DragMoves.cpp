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
#include "TFormMain.h"

#include "dbase/StepNames.h"

dbase::DragRows TFormMain::CurrentDragRows() const {
    dbase::DragRows rows;
    rows.Sat = SatDragRow;
    rows.Tp = TpDragRow;
    rows.Tv = TvDragRow;
    rows.Radio = RadioDragRow;
    return rows;
}

void TFormMain::KeepDragRows(const dbase::DragRows& rows) {
    SatDragRow = rows.Sat;
    TpDragRow = rows.Tp;
    TvDragRow = rows.Tv;
    RadioDragRow = rows.Radio;
}

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
    dbase::DragRows rows = CurrentDragRows();
    const bool moved = FollowMouse(rows.Sat, SG_Sat->Row(), [&](int row) {
        GestureStep(Doc(), dbase::steps::MoveSatellite);
        return dbase::DragSatellites(Doc().StepDb(), SG_Sat->gridModel()->Slots(), rows, row, SG_Sat->RowCount(),
                                     SG_Sat->hasFocus());
    });
    KeepDragRows(rows);
    if (!moved) return;
    SG_Sat->gridModel()->Refresh();
    // The shown transponders and programs keep their slots; their satellite
    // links have been mended with the exchange.
    SG_TP->viewport()->update();
}

void TFormMain::SG_TPMouseMove() {
    dbase::DragRows rows = CurrentDragRows();
    const bool moved = FollowMouse(rows.Tp, SG_TP->Row(), [&](int row) {
        GestureStep(Doc(), dbase::steps::MoveTransponder);
        return dbase::DragTransponders(Doc().StepDb(), SG_TP->gridModel()->Slots(), rows, row, SG_TP->RowCount(),
                                       SG_TP->hasFocus());
    });
    KeepDragRows(rows);
    if (!moved) return;
    SG_TP->gridModel()->Refresh();
}

void TFormMain::SG_TVMouseMove() {
    dbase::DragRows rows = CurrentDragRows();
    const bool moved = FollowMouse(rows.Tv, SG_TV->Row(), [&](int row) {
        GestureStep(Doc(), dbase::steps::MoveProgram);
        return dbase::DragTvPrograms(Doc().StepDb(), SG_TV->gridModel()->Slots(), rows, row, SG_TV->RowCount(),
                                     SG_TV->hasFocus(), Marks.Marking());
    });
    KeepDragRows(rows);
    if (!moved) return;
    SG_TV->gridModel()->Refresh();
    SG_TP->viewport()->update();
    SG_Sat->viewport()->update();
}

void TFormMain::SG_RadioMouseMove() {
    dbase::DragRows rows = CurrentDragRows();
    const bool moved = FollowMouse(rows.Radio, SG_Radio->Row(), [&](int row) {
        GestureStep(Doc(), dbase::steps::MoveProgram);
        return dbase::DragRadioPrograms(Doc().StepDb(), SG_Radio->gridModel()->Slots(), rows, row,
                                        SG_Radio->RowCount(), SG_Radio->hasFocus(), Marks.Marking());
    });
    KeepDragRows(rows);
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
