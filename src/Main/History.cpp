// Undo and redo in the window: the Edit popup, its shortcuts, and the views
// after a step is taken back or applied again.
#include "RowTexts.h"
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

bool TFormMain::ListsUnchanged() const {
    const dbase::Database& db = Db();
    auto same = [](const StringGrid* grid, const std::vector<int>& listed) {
        return grid->gridModel()->ListSlots() == listed;
    };
    const dbase::SatLists lists = dbase::ListedSats(db, ActiveOnly);
    if (!same(SG_Sat, lists.sats)) return false;
    if (!same(SG_TP, SatSelected ? dbase::SatTps(db, SelectedSat()) : lists.tps)) return false;
    dbase::ProgLists progs;
    if (FavListSelected)
        progs = SatSelected ? dbase::ProgLists{} : dbase::FavProgs(db, SelectedFavGroup);
    else if (TpSelected)
        progs = dbase::TpProgs(db, SelectedTp());
    else if (SatSelected)
        progs = dbase::SatProgs(db, SelectedSat());
    else
        progs = dbase::AllProgs(db);
    return same(SG_TV, progs.tv) && same(SG_Radio, progs.radio);
}

void TFormMain::AfterHistoryMove(const std::optional<dbase::StepFocus>& focus) {
    const dbase::Database& db = Db();
    // Most steps (marks, edits, moves, sorts) leave every list as it was: the
    // rows keep their slots and only show what the slots hold now.
    if (ListsUnchanged() && (!focus || focus->entity != dbase::Entity::Prog ||
                             (focus->slot >= 0 && focus->slot < db.ProgCount &&
                              (SG_TV->RowOfSlot(focus->slot) > 0 || SG_Radio->RowOfSlot(focus->slot) > 0)))) {
        const dbase::StepParts parts = Doc().LastMoved();
        if (parts.sats) SG_Sat->gridModel()->Refresh();
        if (parts.tps) SG_TP->gridModel()->Refresh();
        if (parts.progs && FilterOn()) {
            // What the filter picks may have changed with the data.
            FillProgGrids();
        } else if (parts.progs) {
            SG_TV->gridModel()->Refresh();
            SG_Radio->gridModel()->Refresh();
        }
        for (int g = 0; g < dbase::kFavGroups && g < LB_FAV->count(); ++g) {
            const QString text = ui::FromLatin1(rowtext::FavItem(g, db.FavNames[static_cast<size_t>(g)]));
            if (LB_FAV->item(g)->text() != text) LB_FAV->item(g)->setText(text);
        }
        if (focus && focus->entity == dbase::Entity::Prog)
            SelectProgSlot(focus->slot);
        else if (TvSelected || RadioSelected)
            ShowInfo(-1, -1, TvSelected ? SelectedTv() : SelectedRadio());
        else if (TpSelected)
            ShowInfo(-1, SelectedTp(), -1);
        else if (SatSelected)
            ShowInfo(SelectedSat(), -1, -1);
        if (Marks.Marking()) SetMarkCaptions(Marks.Down());
        if (focus && focus->entity == dbase::Entity::Fav)
            for (int g = 0; g < dbase::kFavGroups; ++g)
                if (!db.FavNames[static_cast<size_t>(g)].empty())
                    SB_Fav[static_cast<size_t>(g)]->setToolTip(ui::FromLatin1(db.FavNames[static_cast<size_t>(g)]));
        LB_FAV->viewport()->update();
        return;
    }

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
