#include "viewlogic/DragSteps.h"

#include "editing/Reorder.h"

namespace dbase {

void DragRows::MouseDown(GridFocus focus, const DragRows& selected, bool markingMode) {
    Sat = selected.Sat;
    if (focus == GridFocus::Tp) Tp = selected.Tp;
    if (focus == GridFocus::Tv && !markingMode) Tv = selected.Tv;
    if (focus == GridFocus::Radio && !markingMode) Radio = selected.Radio;
}

namespace {

DragStep Step(int selectedRow, int dragRow, int next) { return {true, selectedRow, dragRow, next}; }
DragStep NoStep(int dragRow) { return {false, -1, -1, dragRow}; }

} // namespace

DragStep SatDragStep(int d, const DragMove& m) {
    const int r = m.selectedRow, n = m.rowCount;
    const bool focused = m.focused;
    if (d < 0 || d >= n) return NoStep(d);
    if (r == d + 1 && r < n && r >= 2 && focused) return Step(r, d, d + 1);
    if (r == d - 1 && d >= 2 && r >= 2) return Step(r, d, d - 1);
    return NoStep(d);
}

DragStep TpDragStep(int satDragRow, int d, const DragMove& m) {
    const int r = m.selectedRow, n = m.rowCount;
    const bool focused = m.focused;
    if (satDragRow <= 0 || d <= 0 || d >= n || r < 1 || r >= n) return NoStep(d);
    if (r == d + 1 && focused) return Step(r, d, d + 1);
    if (r == d - 1) return Step(r, d, d - 1);
    return NoStep(d);
}

DragStep ProgDragStep(int d, const DragMove& m) {
    const int r = m.selectedRow, n = m.rowCount;
    // Row 0 is the header, which can never be selected; row 1 and the last
    // row hold programs but are never targets.
    if (r <= 1 || r >= n - 1 || !m.focused || m.markingMode) return NoStep(d);
    if (r == d + 1) return Step(r, d, d + 1);
    if (r == d - 1) return Step(r, d, d - 1);
    return NoStep(d);
}

namespace {

// Takes a step through the rows' slots (row r shows rowSlots[r-1]) when the
// exchange accepts the two entries.
template <class Check, class Swap>
DragStep TakeStep(Database& db, DragStep step, int& dragRow, std::span<const int> rowSlots, Check check, Swap swap) {
    if (!step.taken) return step;
    auto slotOf = [&](int row) {
        return row >= 1 && static_cast<size_t>(row) <= rowSlots.size() ? rowSlots[static_cast<size_t>(row - 1)] : -1;
    };
    const int a = slotOf(step.row), b = slotOf(step.otherRow);
    if (!check(db, a, b)) return NoStep(dragRow);
    swap(db, a, b);
    dragRow = step.nextDragRow;
    return step;
}

} // namespace

DragStep DragSatellites(Database& db, std::span<const int> rowSlots, DragRows& rows, const DragMove& m) {
    return TakeStep(db, SatDragStep(rows.Sat, m), rows.Sat, rowSlots, CheckSatSwap, SwapSatellites);
}

DragStep DragTransponders(Database& db, std::span<const int> rowSlots, DragRows& rows, const DragMove& m) {
    return TakeStep(db, TpDragStep(rows.Sat, rows.Tp, m), rows.Tp, rowSlots, CheckTpSwap, SwapTransponders);
}

DragStep DragTvPrograms(Database& db, std::span<const int> rowSlots, DragRows& rows, const DragMove& m) {
    return TakeStep(db, ProgDragStep(rows.Tv, m), rows.Tv, rowSlots, CheckProgSwap, SwapPrograms);
}

DragStep DragRadioPrograms(Database& db, std::span<const int> rowSlots, DragRows& rows, const DragMove& m) {
    return TakeStep(db, ProgDragStep(rows.Radio, m), rows.Radio, rowSlots, CheckProgSwap, SwapPrograms);
}

} // namespace dbase
