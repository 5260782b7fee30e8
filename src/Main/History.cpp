// Undo and redo in the window: the Edit popup, its shortcuts, and the views
// after a step is taken back or applied again.
#include "TFormMain.h"

#include "ui/FormSetup.h"

#include <QCursor>
#include <QListWidget>
#include <QMenu>
#include <QToolButton>

void TFormMain::PM_EditPopup() {
    const dbase::Document& doc = Doc();
    EditUndo->setText(doc.CanUndo() ? QStringLiteral("Undo ") + QString::fromStdString(doc.UndoName())
                                    : QStringLiteral("Undo"));
    EditRedo->setText(doc.CanRedo() ? QStringLiteral("Redo ") + QString::fromStdString(doc.RedoName())
                                    : QStringLiteral("Redo"));
    EditUndo->setEnabled(doc.CanUndo());
    EditRedo->setEnabled(doc.CanRedo());
}

void TFormMain::UndoClick() {
    // A drag gesture still under way ends before it is taken back.
    EndDragStep();
    if (!Doc().CanUndo()) return;
    AfterHistoryMove(Doc().Undo());
}

void TFormMain::RedoClick() {
    EndDragStep();
    if (!Doc().CanRedo()) return;
    AfterHistoryMove(Doc().Redo());
}

// ------------------------------------------------------------- selection

void TFormMain::RefillViews() {
    SatSelected = TpSelected = TvSelected = RadioSelected = FavListSelected = false;
    if (ActiveOnly)
        ShowActiveSatellites();
    else
        ShowAllSatellites();
}

void TFormMain::SelectSatSlot(int sat) {
    const int row = SG_Sat->RowOfSlot(sat);
    if (row < 0) return;
    SG_Sat->SetRow(row);
    SatSelected = true;
    FillTpGrid(dbase::SatTps(Db(), sat), dbase::SatProgs(Db(), sat));
    ShowInfo(sat, -1, -1);
    SB_NewTp->setEnabled(true);
}

bool TFormMain::SelectTpSlot(int tp) {
    const int row = SG_TP->RowOfSlot(tp);
    if (row < 0) return false;
    SG_TP->SetRow(row);
    TpSelected = true;
    TvSelected = RadioSelected = false;
    FillProgGrids(dbase::TpProgs(Db(), tp));
    ShowInfo(-1, tp, -1);
    SB_NewTv->setEnabled(true);
    SB_NewRadio->setEnabled(true);
    return true;
}

bool TFormMain::SelectProgSlot(int prog) {
    const bool radio = Db().Prog.data[prog].IsRadio != 0;
    StringGrid* grid = radio ? SG_Radio : SG_TV;
    const int row = grid->RowOfSlot(prog);
    if (row < 0) return false;
    grid->SetRow(row);
    TvSelected = !radio;
    RadioSelected = radio;
    ShowInfo(-1, -1, prog);
    return true;
}

void TFormMain::AfterHistoryMove(const std::optional<dbase::StepFocus>& focus) {
    const dbase::Database& db = Db();
    auto satExists = [&](int s) { return s >= 0 && s < db.SatCount && s < dbase::kSatSlots; };
    auto tpExists = [&](int t) { return t >= 0 && t < dbase::kTpSlots && db.Tp.data[t].Used == 1; };
    auto progExists = [&](int p) { return p >= 0 && p < db.ProgCount && p < dbase::kProgSlots; };

    // The selection as it was, kept where it still exists.
    const int sat = SatSelected ? SelectedSat() : -1;
    const int tp = TpSelected ? SelectedTp() : -1;
    const int prog = TvSelected ? SelectedTv() : RadioSelected ? SelectedRadio() : -1;
    const int fav = FavListSelected ? SelectedFavGroup : -1;

    RefillViews();
    if (fav >= 0) {
        FavListSelected = true;
        SelectedFavGroup = fav;
        LB_FAV->setCurrentRow(fav);
        FillProgGrids(dbase::FavProgs(db, fav));
    } else {
        if (satExists(sat)) SelectSatSlot(sat);
        if (tpExists(tp)) SelectTpSlot(tp);
    }

    // The entry the step changed, shown in the whole list when the view kept
    // from before does not hold it.
    dbase::StepFocus target = focus ? *focus : dbase::StepFocus{};
    const bool focusExists = (target.entity == dbase::Entity::Prog && progExists(target.slot)) ||
                             (target.entity == dbase::Entity::Tp && tpExists(target.slot)) ||
                             (target.entity == dbase::Entity::Sat && satExists(target.slot));
    if (!focusExists) {
        if (progExists(prog))
            target = {dbase::Entity::Prog, prog};
        else if (tpExists(tp))
            target = {dbase::Entity::Tp, tp};
        else if (target.entity != dbase::Entity::Fav)
            target = {};
    }
    switch (target.entity) {
    case dbase::Entity::Prog:
        if (!SelectProgSlot(target.slot)) {
            RefillViews();
            SelectProgSlot(target.slot);
        }
        break;
    case dbase::Entity::Tp:
        if (!SelectTpSlot(target.slot)) {
            RefillViews();
            SelectSatSlot(db.Tp.data[target.slot].SatIndex);
            SelectTpSlot(target.slot);
        }
        break;
    case dbase::Entity::Sat:
        if (!(SatSelected && SelectedSat() == target.slot)) SelectSatSlot(target.slot);
        break;
    case dbase::Entity::Fav:
        for (int g = 0; g < dbase::kFavGroups; ++g)
            if (!db.FavNames[static_cast<size_t>(g)].empty())
                SB_Fav[static_cast<size_t>(g)]->setToolTip(ui::FromLatin1(db.FavNames[static_cast<size_t>(g)]));
        if (!(SatSelected || TpSelected || FavListSelected)) ShowInfo(-1, -1, -1);
        break;
    case dbase::Entity::None:
        if (!(SatSelected || TpSelected || FavListSelected)) ShowInfo(-1, -1, -1);
        break;
    }
    if (Marks.Marking()) SetMarkCaptions(Marks.Down());
    RepaintProgGrids();
    LB_FAV->viewport()->update();
}
