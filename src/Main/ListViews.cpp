// The four grids and the favourite list: fill operations, the selection
// cascade from satellite to transponder to programs, and the cell colours.
//
// The core's queries give the lists of slots to show; each grid's model keeps
// the slots of its rows (grid row r shows entry r - 1) and is the only map
// from rows to slots.
#include "RowTexts.h"
#include "TFormMain.h"
#include "ui/FormSetup.h"

#include <QListWidget>
#include <QToolButton>

namespace {

const QColor kFixedColour(221, 221, 221);
const QColor kSelectedBack(132, 193, 255);
const QColor kSelectedText(255, 0, 0);
const QColor kOwnerBack(225, 255, 255);
const QColor kOwnerText(0, 0, 128);

QColor ToColor(dbase::Rgb c) { return {c.r, c.g, c.b}; }

} // namespace

bool TFormMain::RowBound(const StringGrid* grid, int row) const { return grid->SlotOfRow(row) >= 0; }

// ------------------------------------------------------------ fill operations

void TFormMain::ClearViews() {
    LB_FAV->clear();
    LB_Info->clear();
    SG_Sat->gridModel()->SetRows({}, 1);
    SG_TP->gridModel()->SetRows({}, 1);
    SG_TV->gridModel()->SetRows({}, 1);
    SG_Radio->gridModel()->SetRows({}, 1);
    SatActive.fill(0);
}

void TFormMain::ShowAllSatellites() {
    ClearViews();
    dbase::SatLists lists = dbase::ListedSats(Db(), false);
    FillSatGrid(std::move(lists.sats), std::move(lists.tps), dbase::AllProgs(Db()));
}

void TFormMain::ShowActiveSatellites() {
    ClearViews();
    dbase::SatLists lists = dbase::ListedSats(Db(), true);
    SatActive = lists.active;
    FillSatGrid(std::move(lists.sats), std::move(lists.tps), dbase::AllProgs(Db()));
}

dbase::ProgLists TFormMain::ListedProgs() const {
    return {SG_TV->gridModel()->ListSlots(), SG_Radio->gridModel()->ListSlots()};
}

void TFormMain::FillSatGrid() { FillSatGrid(SG_Sat->gridModel()->Slots(), SG_TP->gridModel()->Slots(), ListedProgs()); }

void TFormMain::FillSatGrid(std::vector<int> sats, std::vector<int> tps, dbase::ProgLists progs) {
    SG_Sat->gridModel()->SetRows(std::move(sats), 0);
    SG_Sat->gridModel()->SetLeadRow({QStringLiteral(" \u2606\u2606"), QStringLiteral("Show ALL Info")});
    SG_Sat->SetRow(0);
    SatSelected = false;
    FillTpGrid(std::move(tps), std::move(progs));
}

void TFormMain::FillTpGrid() { FillTpGrid(SG_TP->gridModel()->Slots(), ListedProgs()); }

void TFormMain::FillTpGrid(std::vector<int> tps, dbase::ProgLists progs) {
    SG_TP->gridModel()->SetRows(std::move(tps), 1);
    // The favourite list keeps its items while a program is the selection,
    // unless the satellite list is filtered.
    if ((!TvSelected && !RadioSelected) || (ActiveOnly && (TvSelected || RadioSelected))) {
        LB_FAV->clear();
        for (int i = 0; i < dbase::kFavGroups; ++i)
            LB_FAV->addItem(ui::FromLatin1(rowtext::FavItem(i, Db().FavNames[static_cast<size_t>(i)])));
        // A picked group stays picked: the marking buttons follow it.
        if (FavListSelected && SelectedFavGroup >= 0) LB_FAV->setCurrentRow(SelectedFavGroup);
    }
    FillProgGrids(std::move(progs));
}

void TFormMain::FillProgGrids() { FillProgGrids(ListedProgs()); }

void TFormMain::FillProgGrids(dbase::ProgLists progs) {
    // The filter, if one is on, picks the rows of the lists.
    RefreshMatcher();
    SG_TV->gridModel()->SetRows(std::move(progs.tv), 1);
    SG_Radio->gridModel()->SetRows(std::move(progs.radio), 1);
    ShowFilterCount();
}

int TFormMain::SelectProgramSlots(const std::vector<int>& wanted) {
    const int tv = SG_TV->SelectSlots(wanted);
    const int radio = SG_Radio->SelectSlots(wanted);
    if (tv + radio == 0) return 0;
    StringGrid* grid = tv > 0 ? SG_TV : SG_Radio;
    grid->setFocus();
    TvSelected = tv > 0;
    RadioSelected = !TvSelected;
    SG_TP->viewport()->update();
    SG_Sat->viewport()->update();
    ShowInfo(-1, -1, grid->SlotOfRow(grid->Row()));
    return tv + radio;
}

// ---------------------------------------------------------- selection cascade

void TFormMain::SG_SatClick() {
    const int r = SG_Sat->Row();
    // A satellite click ends a favourite marking mode; lock and skip stay on.
    const bool favModeWasOn = Marks.FavGroupDown() >= 0;
    Marks.SatRowClicked(r);
    ShowMarkButtons();
    if (favModeWasOn) {
        ShowCaptions(Marks.Captions());
        RepaintProgGrids();
    }

    if (r > 1 && !RowBound(SG_Sat, r)) return;
    TpSelected = TvSelected = RadioSelected = FavListSelected = false;
    if (Doc().FileOpened()) {
        if (r >= 1) {
            SatSelected = true;
            SG_Sat->viewport()->update();
            const int sat = SG_Sat->SlotOfRow(r);
            ShowInfo(sat, -1, -1);
            FillTpGrid(dbase::SatTps(Db(), sat), dbase::SatProgs(Db(), sat));
        } else {
            SatSelected = false;
            if (ActiveOnly)
                ShowActiveSatellites();
            else
                ShowAllSatellites();
        }
    }
    SB_NewTp->setEnabled(SatSelected && RowBound(SG_Sat, r));
    const bool tpBound = TpSelected && RowBound(SG_TP, SG_TP->Row());
    SB_NewTv->setEnabled(tpBound);
    SB_NewRadio->setEnabled(tpBound);
}

void TFormMain::SG_TPClick() {
    if (FavListSelected) EnableFavButtons(dbase::kFavGroups);
    LB_FAV->setCurrentRow(-1);
    LB_FAV->clearSelection();
    const int r = SG_TP->Row();
    const bool bound = RowBound(SG_TP, r);
    if (bound) {
        TpSelected = true;
        TvSelected = RadioSelected = FavListSelected = false;
        SG_Sat->viewport()->update();
        SG_TP->viewport()->update();
        const int tp = SG_TP->SlotOfRow(r);
        ShowInfo(-1, tp, -1);
        FillProgGrids(dbase::TpProgs(Db(), tp));
    }
    SB_NewTv->setEnabled(bound && TpSelected);
    SB_NewRadio->setEnabled(bound && TpSelected);
}

void TFormMain::SG_TVClick() {
    EnableFavButtons(FavListSelected ? LB_FAV->currentRow() : dbase::kFavGroups);
    const int r = SG_TV->Row();
    if (!RowBound(SG_TV, r)) return;
    TvSelected = true;
    RadioSelected = false;
    SG_TP->viewport()->update();
    SG_Sat->viewport()->update();
    const int prog = SG_TV->SlotOfRow(r);
    ShowInfo(-1, -1, prog);
    ToggleMarks(prog);
}

void TFormMain::SG_RadioClick() {
    EnableFavButtons(FavListSelected ? LB_FAV->currentRow() : dbase::kFavGroups);
    const int r = SG_Radio->Row();
    if (!RowBound(SG_Radio, r)) return;
    RadioSelected = true;
    TvSelected = false;
    SG_TP->viewport()->update();
    SG_Sat->viewport()->update();
    const int prog = SG_Radio->SlotOfRow(r);
    ShowInfo(-1, -1, prog);
    ToggleMarks(prog);
}

void TFormMain::Show_Act_SatClick() {
    if (!Doc().FileOpened()) return;
    ActiveOnly = !ActiveOnly;
    SatSelected = TpSelected = TvSelected = RadioSelected = FavListSelected = false;
    if (ActiveOnly)
        ShowActiveSatellites();
    else
        ShowAllSatellites();
    Show_Act_Sat->setText(ActiveOnly ? QStringLiteral("Show all satellites")
                                     : QStringLiteral("Show active satellites"));
    SG_Sat->SetRow(0);
    SG_Sat->setFocus();
}

// ------------------------------------------------------------------ the wheel

void TFormMain::ScrollGrid(StringGrid* grid, int lines) { grid->ScrollLines(lines); }

void TFormMain::SG_SatMouseWheelDown() { ScrollGrid(SG_Sat, 1); }
void TFormMain::SG_SatMouseWheelUp() { ScrollGrid(SG_Sat, -1); }
void TFormMain::SG_TPMouseWheelDown() { ScrollGrid(SG_TP, 1); }
void TFormMain::SG_TPMouseWheelUp() { ScrollGrid(SG_TP, -1); }
void TFormMain::SG_TVMouseWheelDown() { ScrollGrid(SG_TV, 1); }
void TFormMain::SG_TVMouseWheelUp() { ScrollGrid(SG_TV, -1); }
void TFormMain::SG_RadioMouseWheelDown() { ScrollGrid(SG_Radio, 1); }
void TFormMain::SG_RadioMouseWheelUp() { ScrollGrid(SG_Radio, -1); }

// --------------------------------------------------------------- cell colours

int TFormMain::OwnerSatOfSelection() const {
    // Later selections win: transponder, then TV program, then radio program.
    int owner = -1;
    const dbase::Database& db = Db();
    if (TpSelected) {
        const int t = SG_TP->SlotOfRow(SG_TP->Row());
        if (t >= 0) owner = db.Tp.data[t].SatIndex;
    }
    if (TvSelected) {
        const int p = SG_TV->SlotOfRow(SG_TV->Row());
        if (p >= 0) owner = db.Prog.data[p].SatIndex;
    }
    if (RadioSelected) {
        const int p = SG_Radio->SlotOfRow(SG_Radio->Row());
        if (p >= 0) owner = db.Prog.data[p].SatIndex;
    }
    return owner;
}

int TFormMain::OwnerTpOfSelection() const {
    int p = -1;
    if (RadioSelected)
        p = SG_Radio->SlotOfRow(SG_Radio->Row());
    else if (TvSelected)
        p = SG_TV->SlotOfRow(SG_TV->Row());
    return p >= 0 ? static_cast<int>(Db().Prog.data[p].TpIndex) : -1;
}

CellStyle TFormMain::SG_SatDrawCell(int row, int col, bool selected) const {
    CellStyle s;
    if (col == 0) {
        s.background = kFixedColour;
        s.fixed = true;
        return s;
    }
    if (selected) {
        s.background = kSelectedBack;
        s.text = kSelectedText;
    }
    if (row >= 1 && (TpSelected || TvSelected || RadioSelected)) {
        const int owner = OwnerSatOfSelection();
        if (owner >= 0 && SG_Sat->SlotOfRow(row) == owner) {
            s.background = kOwnerBack;
            s.text = kOwnerText;
        }
    }
    return s;
}

CellStyle TFormMain::SG_TPDrawCell(int row, int col, bool selected) const {
    CellStyle s;
    if (col == 0 || row == 0) {
        s.background = kFixedColour;
        s.fixed = true;
        return s;
    }
    if (selected && SG_TP->hasFocus()) {
        s.background = kSelectedBack;
        s.text = kSelectedText;
    }
    if (TvSelected || RadioSelected) {
        // While a program is the selection its transponder is marked instead
        // of the selected row.
        const int owner = OwnerTpOfSelection();
        const bool isOwner = owner >= 0 && SG_TP->SlotOfRow(row) == owner;
        s.background = isOwner ? kOwnerBack : QColor(Qt::white);
        s.text = isOwner ? kOwnerText : QColor(Qt::black);
    }
    return s;
}

CellStyle TFormMain::ProgCellStyle(const StringGrid* grid, int row, int col, bool selected) const {
    CellStyle s;
    s.textDx = 2;
    if (col == 0 || row == 0) {
        s.background = kFixedColour;
        s.fixed = true;
        return s;
    }
    if (col != 1) return s;
    const int slot = grid->SlotOfRow(row);
    if (Marks.Marking() && slot >= 0) {
        // In a marking mode the name cell shows the mark of that mode in
        // place of the selection.
        switch (dbase::MarkShadeFor(Db().Prog.data[slot], Marks.Down(), Marks.MarkFavPos())) {
        case dbase::MarkShade::Skip:
            s.background = ToColor(dbase::kSkipShade);
            s.text = ToColor(dbase::kMarkText);
            break;
        case dbase::MarkShade::Lock:
            s.background = ToColor(dbase::kLockShade);
            s.text = ToColor(dbase::kMarkText);
            break;
        case dbase::MarkShade::Fav:
            s.background = ToColor(dbase::kFavShade);
            s.text = ToColor(dbase::kMarkText);
            break;
        case dbase::MarkShade::Plain: break;
        }
        return s;
    }
    if (selected && grid->hasFocus()) {
        s.background = kSelectedBack;
        s.text = kSelectedText;
    }
    return s;
}

CellStyle TFormMain::SG_TVDrawCell(int row, int col, bool selected) const {
    return ProgCellStyle(SG_TV, row, col, selected);
}

CellStyle TFormMain::SG_RadioDrawCell(int row, int col, bool selected) const {
    return ProgCellStyle(SG_Radio, row, col, selected);
}
