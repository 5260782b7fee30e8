// Commands that change the database through the editor dialogs, add, delete
// and reset entries, sort programs and import transponders from .ini files.
// The model operations live in the database core; these handlers ask, open
// the dialogs and refresh the views.
#include "TFormMain.h"

#include "EditFAV/TFormEditFAV.h"
#include "EditLnb/TFormEditLnb.h"
#include "EditProg/TFormEditProg.h"
#include "EditTP/TFormEditTP.h"
#include "base/Messages.h"
#include "document/StepNames.h"
#include "editing/EditorFields.h"
#include "editing/Entries.h"
#include "editing/IniImport.h"
#include "editing/Reorder.h"
#include "ui/FileDialog.h"
#include "ui/FormSetup.h"
#include "ui/MessageBox.h"

#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

namespace {

QString Text(const char* message) { return QString::fromLatin1(message); }
QString Text(const std::string& message) { return QString::fromStdString(message); }

using dbase::Database;
using dbase::Entity;
using dbase::Status;
using dbase::StepFocus;

} // namespace

int TFormMain::SelectedSat() const { return SG_Sat->Row() >= 1 ? SG_Sat->SlotOfRow(SG_Sat->Row()) : -1; }
int TFormMain::SelectedTp() const { return SG_TP->SlotOfRow(SG_TP->Row()); }
int TFormMain::SelectedTv() const { return SG_TV->SlotOfRow(SG_TV->Row()); }
int TFormMain::SelectedRadio() const { return SG_Radio->SlotOfRow(SG_Radio->Row()); }
int TFormMain::ShownSat() const { return SelectedSat(); }

// ------------------------------------------------------------ editor openers
//
// The dialogs check what the user typed and hand back the values; each OK is
// then one step of the history.

void TFormMain::SG_SatDblClick() {
    const int sat = SelectedSat();
    if (SG_Sat->currentIndex().column() != 1 || sat < 0) return;
    B_Sat->click();
    EditAccepted = false;
    TFormEditLnb dlg(Db(), this);
    dlg.SatSlot = sat;
    dlg.exec();
    EditAccepted = dlg.EditAccepted;
    if (!EditAccepted) return;
    // The step's change returns Ok, so there is no refusal to show.
    (void)Doc().Edit(
        dbase::steps::ChangeSatellite,
        [&](Database& db) {
            dbase::ChangeSatellite(db, sat, dlg.Values);
            return Status::Ok();
        },
        StepFocus{Entity::Sat, sat});
    Doc().SetDataChanged(true);
    SG_Sat->gridModel()->Refresh();
    FillTpGrid(dbase::SatTps(Db(), sat), dbase::SatProgs(Db(), sat));
    ShowInfo(sat, -1, -1);
}

void TFormMain::SG_TPDblClick() {
    const int tp = SelectedTp();
    if (tp < 0) return;
    B_TP->click();
    EditAccepted = false;
    TFormEditTP dlg(Db(), this);
    dlg.TpSlot = tp;
    dlg.exec();
    EditAccepted = dlg.EditAccepted;
    if (!EditAccepted) return;
    // The step's change returns Ok, so there is no refusal to show.
    (void)Doc().Edit(
        dbase::steps::ChangeTransponder,
        [&](Database& db) {
            dbase::ChangeTransponder(db, tp, dlg.Values);
            return Status::Ok();
        },
        StepFocus{Entity::Tp, tp});
    Doc().SetDataChanged(true);
    FillTpGrid();
    ShowInfo(-1, tp, -1);
}

void TFormMain::EditProgram(bool radio) {
    const int slot = radio ? SelectedRadio() : SelectedTv();
    if (slot < 0) return;
    (radio ? B_Radio : B_TV)->click();
    EditAccepted = false;
    TFormEditProg dlg(Db(), this);
    dlg.ProgSlot = slot;
    dlg.TpSlot = static_cast<int>(Db().Prog.data[slot].TpIndex);
    dlg.exec();
    EditAccepted = dlg.EditAccepted;
    if (!EditAccepted) return;
    // The step's change returns Ok, so there is no refusal to show.
    (void)Doc().Edit(
        dbase::steps::ChangeProgram,
        [&](Database& db) {
            dbase::ChangeProgram(db, slot, dlg.Values);
            return Status::Ok();
        },
        StepFocus{Entity::Prog, slot});
    Doc().SetDataChanged(true);
    FillTpGrid();
    ShowInfo(-1, -1, slot);
}

void TFormMain::SG_TVDblClick() { EditProgram(false); }
void TFormMain::SG_RadioDblClick() { EditProgram(true); }

void TFormMain::OpenFavNameDialog(int group) {
    TFormEditFAV dlg(Db(), this);
    dlg.Group = group;
    dlg.exec();
    if (!dlg.Renamed) return;
    // The dialog has checked the name, so SetFavName accepts it.
    (void)Doc().Edit(
        dbase::steps::RenameFavourite(group), [&](Database& db) { return dbase::SetFavName(db, group, dlg.Name); },
        StepFocus{Entity::Fav, group});
    const std::string& name = Db().FavNames[static_cast<size_t>(group)];
    if (QListWidgetItem* item = LB_FAV->item(group))
        item->setText(ui::FromLatin1(dbase::FavDialogItemText(group, name)));
    SB_Fav[static_cast<size_t>(group)]->setToolTip(ui::FromLatin1(name));
}

// ----------------------------------------------------------------- adding

void TFormMain::New_TpClick() {
    const int sat = SelectedSat();
    if (!Doc().FileOpened() || sat < 0) return;
    if (const dbase::Status s = dbase::CheckAddTransponder(Db(), sat); !s) {
        ui::MessageBox::error(this, Text(s.message()));
        return;
    }
    EditAccepted = false;
    AddTpMode = true;
    TFormEditTP dlg(Db(), this);
    dlg.AddTpMode = true;
    dlg.TpSlot = dbase::FirstFreeTpSlot(Db());
    dlg.SatSlot = sat;
    dlg.exec();
    AddTpMode = false;
    EditAccepted = dlg.EditAccepted;
    if (!EditAccepted) return;
    int added = -1;
    if (const Status s = Doc().Edit(
            dbase::steps::AddTransponder,
            [&](Database& db) { return dbase::AddTransponder(db, dbase::SatSlot(sat), dlg.Values, &added); });
        !s) {
        ui::MessageBox::error(this, Text(s.message()));
        return;
    }
    Doc().SetDataChanged(true);
    FillTpGrid(dbase::SatTps(Db(), sat), ListedProgs());
    SG_TP->SetRow(std::max(1, SG_TP->RowOfSlot(added)));
    SG_TP->setFocus();
    ShowInfo(-1, SelectedTp(), -1);
}

void TFormMain::AddProgram(bool radio) {
    const int tp = SelectedTp();
    if (!Doc().FileOpened() || tp < 0) return;
    if (const dbase::Status s = dbase::CheckAddProgram(Db(), tp); !s) {
        ui::MessageBox::error(this, Text(s.message()));
        return;
    }
    (radio ? AddRadioMode : AddTvMode) = true;
    TvAdded = RadioAdded = false;
    TFormEditProg dlg(Db(), this);
    dlg.AddTvMode = !radio;
    dlg.AddRadioMode = radio;
    dlg.ProgSlot = Db().ProgCount;
    dlg.TpSlot = tp;
    dlg.exec();
    AddTvMode = AddRadioMode = false;
    TvAdded = dlg.TvAdded;
    RadioAdded = dlg.RadioAdded;
    if (!(radio ? RadioAdded : TvAdded)) return;
    int newSlot = -1;
    if (const Status s = Doc().Edit(
            dbase::steps::AddProgram,
            [&](Database& db) { return dbase::AddProgram(db, dbase::TpSlot(tp), radio, dlg.Values, &newSlot); });
        !s) {
        ui::MessageBox::error(this, Text(s.message()));
        return;
    }
    Doc().SetDataChanged(true);
    FillProgGrids(dbase::TpProgs(Db(), tp));
    StringGrid* grid = radio ? SG_Radio : SG_TV;
    grid->SetRow(std::max(1, grid->RowOfSlot(newSlot)));
    grid->setFocus();
    ShowInfo(-1, -1, radio ? SelectedRadio() : SelectedTv());
}

void TFormMain::New_TvClick() { AddProgram(false); }
void TFormMain::New_RadioClick() { AddProgram(true); }

// ----------------------------------------------------------------- deleting

void TFormMain::Delete_TpClick() {
    const int tp = SelectedTp();
    if (!Doc().FileOpened() || tp < 0) return;
    if (ui::MessageBox::warning(this, Text(dbase::msg::DeleteTpQuestion)) != ui::MessageBox::Yes) return;
    const int row = SG_TP->Row();
    const int rows = SG_TP->RowCount();
    const int sat = Db().Tp.data[tp].SatIndex;

    TpSelected = true;
    TvSelected = RadioSelected = false;
    dbase::TpDeleteResult result;
    // The step's change returns Ok, so there is no refusal to show.
    (void)Doc().Edit(
        dbase::steps::DeleteTransponder,
        [&](Database& db) {
            result = dbase::DeleteTransponder(db, dbase::TpSlot(tp), dbase::SatSlot(sat));
            return Status::Ok();
        },
        StepFocus{Entity::Tp, tp});

    std::vector<int> tps = SatSelected ? dbase::SatTps(Db(), SelectedSat()) : dbase::AllTps(Db());
    if (ActiveOnly && !SatSelected) {
        ShowActiveSatellites();
        tps = SG_TP->gridModel()->Slots();
    }
    // The transponder shown next: the one that moved into the deleted row, or
    // the one above when the last row of a longer list went.
    auto listed = [&](int i) { return i >= 0 && i < static_cast<int>(tps.size()) ? tps[static_cast<size_t>(i)] : -1; };
    int show = (row == rows - 1 && rows >= 3) ? listed(row - 2) : listed(row - 1);
    if (result.PlaceholderTpMade) show = result.placeholderSlot;
    FillTpGrid(std::move(tps), dbase::TpProgs(Db(), show));
    if (const int r = SG_TP->RowOfSlot(show); r > 0) SG_TP->SetRow(r);
    ShowInfo(-1, show, -1);
    Doc().SetDataChanged(true);
}

void TFormMain::Del_All_Empty_TpClick() {
    if (!Doc().FileOpened()) return;
    if (ui::MessageBox::warning(this, Text(dbase::msg::DeleteEmptyTpsQuestion)) != ui::MessageBox::Yes) return;
    const std::vector<int> empty = dbase::EmptyTransponders(Db(), SG_TP->gridModel()->Slots());
    if (!empty.empty()) {
        TpSelected = true;
        TvSelected = RadioSelected = false;
    }
    // The step's change returns Ok, so there is no refusal to show.
    (void)Doc().Edit(dbase::steps::DeleteEmptyTransponders, [&](Database& db) {
        dbase::DeleteTransponders(db, empty);
        return Status::Ok();
    });

    const int sat = SelectedSat();
    std::vector<int> tps = SatSelected && sat >= 0 ? dbase::SatTps(Db(), sat) : dbase::AllTps(Db());
    if (ActiveOnly && !SatSelected) {
        ShowActiveSatellites();
        tps = SG_TP->gridModel()->Slots();
    }
    const int first = tps.empty() ? -1 : tps.front();
    ShowInfo(-1, first, -1);
    FillTpGrid(std::move(tps), TpSelected ? dbase::TpProgs(Db(), first) : dbase::AllProgs(Db()));
    Doc().SetDataChanged(true);
    SG_Sat->SetRow(0);
    SG_Sat->setFocus();
    if (TpSelected) {
        SG_TP->SetRow(1);
        SG_TP->setFocus();
    }
}

std::vector<int> TFormMain::ProgramsToDelete(StringGrid* grid) const {
    std::vector<int> selected = grid->SelectedSlots();
    if (selected.size() > 1) return selected;
    const int current = grid->SlotOfRow(grid->Row());
    return current >= 0 ? std::vector<int>{current} : std::vector<int>{};
}

void TFormMain::DeleteProgram(bool radio) {
    StringGrid* grid = radio ? SG_Radio : SG_TV;
    const std::vector<int> doomed = ProgramsToDelete(grid);
    if (!Doc().FileOpened() || doomed.empty()) return;
    const bool several = doomed.size() > 1;
    const QString question = several ? Text(dbase::msg::DeleteProgsQuestion(static_cast<int>(doomed.size())))
                                     : Text(dbase::msg::DeleteProgQuestion);
    if (ui::MessageBox::warning(this, question) != ui::MessageBox::Yes) return;
    // The place the next program is shown from: the deleted row, or the
    // first of the deleted rows.
    const int row = several ? grid->RowOfSlot(doomed.front()) : grid->Row();
    const int rows = grid->RowCount();
    const bool onlyOne = grid->gridModel()->BoundRows() == static_cast<int>(doomed.size());
    TvSelected = !radio;
    RadioSelected = radio;
    // The step's change returns Ok, so there is no refusal to show.
    (void)Doc().Edit(
        several ? dbase::steps::DeletePrograms : dbase::steps::DeleteProgram,
        [&](Database& db) {
            dbase::DeletePrograms(db, doomed);
            return Status::Ok();
        },
        StepFocus{Entity::Prog, doomed.front()});

    const Database& db = Db();
    dbase::ProgLists lists = dbase::AllProgs(db);
    if (SatSelected) lists = dbase::SatProgs(db, SelectedSat());
    if (TpSelected) lists = dbase::TpProgs(db, SelectedTp());
    if (FavListSelected) lists = dbase::FavProgs(db, SelectedFavGroup);
    if (FavListSelected && SatSelected) lists = {};

    FillProgGrids(std::move(lists));
    // The program shown next, among the rows now shown: walk up from the row
    // above when the last row of a longer list went, else down from the
    // deleted row's place.
    auto fits = [&](int r) {
        const int p = grid->SlotOfRow(r);
        return p >= 0 && db.Prog.data[p].Used == 1 && (db.Prog.data[p].IsRadio != 0) == radio;
    };
    int show = -1;
    if (!several && row == rows - 1 && rows > 2) {
        for (int r = std::min(row - 1, grid->RowCount() - 1); r >= 1 && show < 0; --r)
            if (fits(r)) show = r;
    } else {
        for (int r = std::max(1, row); r < grid->RowCount() && show < 0; ++r)
            if (fits(r)) show = r;
        for (int r = std::min(row, grid->RowCount()) - 1; r >= 1 && show < 0 && several; --r)
            if (fits(r)) show = r;
    }
    if (onlyOne || show < 0) {
        ShowInfo(-1, -1, -1);
    } else {
        grid->SetRow(show);
        ShowInfo(-1, -1, grid->SlotOfRow(show));
    }
    Doc().SetDataChanged(true);
}

void TFormMain::Delete_TvClick() { DeleteProgram(false); }
void TFormMain::Delete_RadioClick() { DeleteProgram(true); }

void TFormMain::ResetSatellite1Click() {
    const int sat = SelectedSat();
    if (!Doc().FileOpened() || sat < 0) return;
    Doc().SetDataChanged(true);
    if (ui::MessageBox::warning(this, Text(dbase::msg::ResetSatQuestion)) != ui::MessageBox::Yes) return;
    // The step's change returns Ok, so there is no refusal to show.
    (void)Doc().Edit(
        dbase::steps::ResetSatellite,
        [&](Database& db) {
            dbase::ResetSatellite(db, sat);
            return Status::Ok();
        },
        StepFocus{Entity::Sat, sat});
    ShowAllSatellites();
}

// ------------------------------------------------------------------ sorting

void TFormMain::SortPrograms(bool radio, int key) {
    if (!Doc().FileOpened()) return;
    Doc().SetDataChanged(true);
    // The step's change returns Ok, so there is no refusal to show.
    (void)Doc().Edit(dbase::steps::SortPrograms, [&](Database& db) {
        dbase::SortPrograms(db, radio ? dbase::ProgKind::Radio : dbase::ProgKind::Tv, static_cast<dbase::SortKey>(key));
        return Status::Ok();
    });
    FillProgGrids(dbase::ListProgsAfterSort(Db(), ShownSat()));
    // The rows keep their places and now show other programs: the info panel
    // follows the current row of the sorted grid.
    StringGrid* grid = radio ? SG_Radio : SG_TV;
    if (radio ? RadioSelected : TvSelected)
        if (const int slot = grid->SlotOfRow(grid->Row()); slot >= 0) ShowInfo(-1, -1, slot);
}

void TFormMain::SorebyAZ1Click() { SortPrograms(false, static_cast<int>(dbase::SortKey::Name)); }
void TFormMain::SorebyTp1Click() { SortPrograms(false, static_cast<int>(dbase::SortKey::Tp)); }
void TFormMain::SorebyFav1Click() { SortPrograms(false, static_cast<int>(dbase::SortKey::Fav)); }
void TFormMain::SorebyAZ2Click() { SortPrograms(true, static_cast<int>(dbase::SortKey::Name)); }
void TFormMain::SorebyTp2Click() { SortPrograms(true, static_cast<int>(dbase::SortKey::Tp)); }
void TFormMain::SorebyFav2Click() { SortPrograms(true, static_cast<int>(dbase::SortKey::Fav)); }

// --------------------------------------------------------------- .ini import

void TFormMain::DownLoadFromini1Click() {
    const int sat = SelectedSat();
    if (!Doc().FileOpened() || sat < 0) return;
    const QString path = ui::FileDialog::getOpenFileName(
        this, QStringLiteral("Open"), QStringLiteral("Satellite Files(*.ini)|*.ini|All File(*.*)|*.*"),
        QStringLiteral("ini"));
    if (path.isEmpty()) return;
    const std::string file = QFile::encodeName(path).toStdString();
    if (const dbase::Status s = dbase::CheckIniExtension(file); !s) {
        ui::MessageBox::error(this, Text(s.message()));
        return;
    }
    dbase::IniFile ini;
    if (const dbase::Status s = dbase::ParseIniFile(file, ini); !s) {
        ui::MessageBox::error(this, Text(s.message()));
        return;
    }
    if (!ini.status) {
        ui::MessageBox::error(this, Text(ini.status.message()));
        return;
    }
    if (ini.truncated) ui::MessageBox::error(this, Text(dbase::msg::IniTooManyTps));
    if (const dbase::Status s = Doc().Edit(
            dbase::steps::ImportTransponders, [&](Database& db) { return dbase::ImportIni(db, sat, ini); },
            StepFocus{Entity::Sat, sat});
        !s) {
        ui::MessageBox::error(this, Text(s.message()));
        return;
    }
    ShowAllSatellites();
    ui::MessageBox::information(this, Text(dbase::msg::IniSuccess));
    // A notice: how many lines were left out and the first few, with an OK button.
    if (ini.skippedCount > 0) ui::MessageBox::information(this, Text(dbase::SkippedLinesWarning(ini)));
}
