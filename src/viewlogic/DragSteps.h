// The drag steps of the grids: the rows remembered at a mouse-down, the
// guards of each grid's step, and the step itself, which exchanges the two
// entries through the exchanges of editing/Reorder.h. Nothing here knows
// about widgets; the main window passes its rows and focus in.
#pragma once

#include "model/Model.h"

#include <span>

namespace dbase {

// The grid that has the keyboard focus at a mouse-down.
enum class GridFocus { None, Sat, Tp, Tv, Radio };

// The rows remembered at the last mouse-down in a grid or the info panel
// (0 before the first one).
struct DragRows {
    int Sat = 0, Tp = 0, Tv = 0, Radio = 0;

    // SG_SatMouseDown: the satellite row always; the transponder row when its
    // grid has the focus; a program row when its grid has the focus and no
    // marking button is down.
    // `selected` holds each grid's selected row.
    void MouseDown(GridFocus focus, const DragRows& selected, bool markingMode);
};

// A mouse move over a grid during a drag: the grid's selected row, its row
// count (header or "Show ALL Info" row included), whether it has the keyboard
// focus and, for the program grids, whether a marking button is down.
struct DragMove {
    int selectedRow = -1;
    int rowCount = 0;
    bool focused = false;
    bool markingMode = false;
};

// One step of a drag: the rows whose entries are exchanged, and the row
// remembered after it.
struct DragStep {
    bool taken = false;
    int row = -1;      // the grid's selected row, the entry's new place
    int otherRow = -1; // the remembered row
    int nextDragRow = 0;
};

// The guards of a mouse move `m` over each grid with remembered row
// `dragRow`. A step down happens when the selected row is the next row,
// a step up when it is the previous one.
// Satellites: row 1 is never a target (row 0 is "Show ALL Info"); a step
// down needs the focus.
DragStep SatDragStep(int dragRow, const DragMove& m);
// Transponders: only while one satellite is shown (satDragRow > 0); a step
// down needs the focus.
DragStep TpDragStep(int satDragRow, int dragRow, const DragMove& m);
// TV and radio programs: neither the first nor the last program row is a
// target; needs the focus and browse mode.
DragStep ProgDragStep(int dragRow, const DragMove& m);

// A mouse move over a grid: tests the step, exchanges the entries the two
// rows show (`rowSlots`: grid row r shows rowSlots[r - 1]; the rows are not
// refilled: each row keeps its slot and the slot contents move) and updates
// the remembered row. The window then refreshes the rows' texts. A
// step between rows that do not both show an entry the exchange accepts is
// not taken.
DragStep DragSatellites(Database& db, std::span<const int> rowSlots, DragRows& rows, const DragMove& m);
DragStep DragTransponders(Database& db, std::span<const int> rowSlots, DragRows& rows, const DragMove& m);
DragStep DragTvPrograms(Database& db, std::span<const int> rowSlots, DragRows& rows, const DragMove& m);
DragStep DragRadioPrograms(Database& db, std::span<const int> rowSlots, DragRows& rows, const DragMove& m);

} // namespace dbase
