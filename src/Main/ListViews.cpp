// The four grids and the favourite list: fill operations, the selection
// cascade from satellite to transponder to programs, and the cell colours.
//
// Grid rows are bound to database slots only through the view lists of the
// model (SatList, TpList, TvList, RadioList): grid row r shows entry r - 1.
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

QColor ToColor(dbase::Rgb c) {
    return {c.r, c.g, c.b};
}

template <int N> std::vector<int> BoundSlots(const dbase::ViewList<N>& list, int examined) {
    std::vector<int> bound;
    bound.reserve(static_cast<size_t>(list.size()));
    for (int i = 0; i < examined && i < N; ++i)
        if (list[i] >= 0) bound.push_back(list[i]);
    return bound;
}

} // namespace

bool TFormMain::RowBound(const StringGrid* grid, int row) const {
    if (row < 1) return false;
    if (grid == SG_Sat) return db_->SatList[row - 1] >= 0;
    if (grid == SG_TP) return db_->TpList[row - 1] >= 0;
    if (grid == SG_TV) return db_->TvList[row - 1] >= 0;
    if (grid == SG_Radio) return db_->RadioList[row - 1] >= 0;
    return false;
}

// ------------------------------------------------------------ fill operations

void TFormMain::ClearViews() {
    LB_FAV->clear();
    LB_Info->clear();
    SG_Sat->gridModel()->SetRows({}, 1);
    SG_TP->gridModel()->SetRows({}, 1);
    SG_TV->gridModel()->SetRows({}, 1);
    SG_Radio->gridModel()->SetRows({}, 1);
    db_->SatList.clear();
    db_->TpList.clear();
    SatActive.fill(0);
    db_->ClearProgLists();
}

void TFormMain::ShowAllSatellites() {
    ClearViews();
    for (int i = 0; i < dbase::kSatSlots; ++i)
        db_->SatList.push(i);
    db_->ListAllTps();
    db_->ListAllProgs();
    FillSatGrid();
}

void TFormMain::ShowActiveSatellites() {
    ClearViews();
    dbase::Database& db = *db_;
    const int progs = std::min<int>(db.ProgCount, dbase::kProgSlots);
    for (int p = 0; p < progs; ++p) {
        const dbase::ProgData& d = db.Prog.data[p];
        if (d.Used == 1 && d.SatIndex < dbase::kSatSlots) SatActive[d.SatIndex] = 1;
    }
    for (int s = 0; s < std::min<int>(db.SatCount, dbase::kSatSlots); ++s)
        if (SatActive[s]) db.SatList.push(s);
    db.TpList.clear();
    for (int t = 0; t < dbase::kTpSlots; ++t) {
        const dbase::TpData& d = db.Tp.data[t];
        if (d.Used == 1 && d.SatIndex < dbase::kSatSlots && SatActive[d.SatIndex]) db.TpList.push(t);
    }
    db.ListAllProgs();
    FillSatGrid();
}

void TFormMain::FillSatGrid() {
    SG_Sat->gridModel()->SetRows(BoundSlots(db_->SatList, db_->SatCount), 0);
    SG_Sat->gridModel()->SetLeadRow({QStringLiteral(" \u2606\u2606"), QStringLiteral("Show ALL Info")});
    SG_Sat->SetRow(0);
    SatSelected = false;
    FillTpGrid();
}

void TFormMain::FillTpGrid() {
    SG_TP->gridModel()->SetRows(BoundSlots(db_->TpList, dbase::kTpSlots), 1);
    // The favourite list keeps its items while a program is the selection,
    // unless the satellite list is filtered.
    if ((!TvSelected && !RadioSelected) || (ActiveOnly && (TvSelected || RadioSelected))) {
        LB_FAV->clear();
        for (int i = 0; i < dbase::kFavGroups; ++i)
            LB_FAV->addItem(ui::FromLatin1(rowtext::FavItem(i, db_->FavNames[static_cast<size_t>(i)])));
        // A picked group stays picked: the marking buttons follow it.
        if (FavListSelected && SelectedFavGroup >= 0) LB_FAV->setCurrentRow(SelectedFavGroup);
    }
    FillProgGrids();
}

void TFormMain::FillProgGrids() {
    SG_TV->gridModel()->SetRows(BoundSlots(db_->TvList, db_->ProgCount), 1);
    SG_Radio->gridModel()->SetRows(BoundSlots(db_->RadioList, db_->ProgCount), 1);
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
    if (db_->FileOpened) {
        if (r >= 1) {
            SatSelected = true;
            SG_Sat->viewport()->update();
            const int sat = db_->SatList[r - 1];
            ShowInfo(sat, -1, -1);
            db_->ListSatTps(sat);
            db_->ListSatProgs(sat);
            FillTpGrid();
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
        const int tp = db_->TpList[r - 1];
        ShowInfo(-1, tp, -1);
        db_->ListTpProgs(tp);
        FillProgGrids();
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
    const int prog = db_->TvList[r - 1];
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
    const int prog = db_->RadioList[r - 1];
    ShowInfo(-1, -1, prog);
    ToggleMarks(prog);
}

void TFormMain::Show_Act_SatClick() {
    if (!db_->FileOpened) return;
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

void TFormMain::ScrollGrid(StringGrid* grid, int lines) {
    grid->ScrollLines(lines);
}

void TFormMain::SG_SatMouseWheelDown() {
    ScrollGrid(SG_Sat, 1);
}
void TFormMain::SG_SatMouseWheelUp() {
    ScrollGrid(SG_Sat, -1);
}
void TFormMain::SG_TPMouseWheelDown() {
    ScrollGrid(SG_TP, 1);
}
void TFormMain::SG_TPMouseWheelUp() {
    ScrollGrid(SG_TP, -1);
}
void TFormMain::SG_TVMouseWheelDown() {
    ScrollGrid(SG_TV, 1);
}
void TFormMain::SG_TVMouseWheelUp() {
    ScrollGrid(SG_TV, -1);
}
void TFormMain::SG_RadioMouseWheelDown() {
    ScrollGrid(SG_Radio, 1);
}
void TFormMain::SG_RadioMouseWheelUp() {
    ScrollGrid(SG_Radio, -1);
}

// --------------------------------------------------------------- cell colours

int TFormMain::OwnerSatOfSelection() const {
    // Later selections win: transponder, then TV program, then radio program.
    int owner = -1;
    if (TpSelected) {
        const int t = db_->TpList[SG_TP->Row() - 1];
        if (t >= 0) owner = db_->Tp.data[t].SatIndex;
    }
    if (TvSelected) {
        const int p = db_->TvList[SG_TV->Row() - 1];
        if (p >= 0) owner = db_->Prog.data[p].SatIndex;
    }
    if (RadioSelected) {
        const int p = db_->RadioList[SG_Radio->Row() - 1];
        if (p >= 0) owner = db_->Prog.data[p].SatIndex;
    }
    return owner;
}

int TFormMain::OwnerTpOfSelection() const {
    int p = -1;
    if (RadioSelected)
        p = db_->RadioList[SG_Radio->Row() - 1];
    else if (TvSelected)
        p = db_->TvList[SG_TV->Row() - 1];
    return p >= 0 ? static_cast<int>(db_->Prog.data[p].TpIndex) : -1;
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
        if (owner >= 0 && db_->SatList[row - 1] == owner) {
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
        const bool isOwner = owner >= 0 && db_->TpList[row - 1] == owner;
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
        switch (dbase::MarkShadeFor(db_->Prog.data[slot], Marks.Down(), MarkFavPos)) {
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
        case dbase::MarkShade::Plain:
            break;
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
