// Commands that change the database through the editor dialogs, add, delete
// and reset entries, sort programs and import transponders from .ini files.
// The model operations live in the database core; these handlers ask, open
// the dialogs and refresh the views.
#include "TFormMain.h"

#include "EditFAV/TFormEditFAV.h"
#include "EditLnb/TFormEditLnb.h"
#include "EditProg/TFormEditProg.h"
#include "EditTP/TFormEditTP.h"
#include "dbase/Edit.h"
#include "dbase/Editors.h"
#include "dbase/IniImport.h"
#include "dbase/Messages.h"
#include "dbase/Reorder.h"
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

// Grid row showing `slot` in a view list, or -1.
template <int N> int RowOfSlot(const dbase::ViewList<N>& list, int slot) {
    for (int i = 0; i < list.size(); ++i)
        if (list[i] == slot) return i + 1;
    return -1;
}

} // namespace

int TFormMain::SelectedSat() const { return SG_Sat->Row() >= 1 ? db_->SatList[SG_Sat->Row() - 1] : -1; }
int TFormMain::SelectedTp() const { return SG_TP->Row() >= 1 ? db_->TpList[SG_TP->Row() - 1] : -1; }
int TFormMain::SelectedTv() const { return SG_TV->Row() >= 1 ? db_->TvList[SG_TV->Row() - 1] : -1; }
int TFormMain::SelectedRadio() const { return SG_Radio->Row() >= 1 ? db_->RadioList[SG_Radio->Row() - 1] : -1; }

// ------------------------------------------------------------ editor openers

void TFormMain::SG_SatDblClick() {
    const int sat = SelectedSat();
    if (SG_Sat->currentIndex().column() != 1 || sat < 0) return;
    B_Sat->click();
    EditAccepted = false;
    TFormEditLnb dlg(*db_, this);
    dlg.SatSlot = sat;
    dlg.exec();
    EditAccepted = dlg.EditAccepted;
    if (!EditAccepted) return;
    db_->DataChanged = true;
    SG_Sat->gridModel()->Refresh();
    db_->ListSatTps(sat);
    db_->ListSatProgs(sat);
    FillTpGrid();
    ShowInfo(sat, -1, -1);
}

void TFormMain::SG_TPDblClick() {
    const int tp = SelectedTp();
    if (tp < 0) return;
    B_TP->click();
    EditAccepted = false;
    TFormEditTP dlg(*db_, this);
    dlg.TpSlot = tp;
    dlg.exec();
    EditAccepted = dlg.EditAccepted;
    if (!EditAccepted) return;
    db_->DataChanged = true;
    FillTpGrid();
    ShowInfo(-1, tp, -1);
}

void TFormMain::EditProgram(bool radio) {
    const int slot = radio ? SelectedRadio() : SelectedTv();
    if (slot < 0) return;
    (radio ? B_Radio : B_TV)->click();
    EditAccepted = false;
    TFormEditProg dlg(*db_, this);
    dlg.ProgSlot = slot;
    dlg.TpSlot = static_cast<int>(db_->Prog.data[slot].TpIndex);
    dlg.exec();
    EditAccepted = dlg.EditAccepted;
    if (!EditAccepted) return;
    db_->DataChanged = true;
    FillTpGrid();
    ShowInfo(-1, -1, slot);
}

void TFormMain::SG_TVDblClick() { EditProgram(false); }
void TFormMain::SG_RadioDblClick() { EditProgram(true); }

void TFormMain::OpenFavNameDialog(int group) {
    TFormEditFAV dlg(*db_, this);
    dlg.Group = group;
    dlg.exec();
    if (!dlg.Renamed) return;
    const std::string& name = db_->FavNames[static_cast<size_t>(group)];
    if (QListWidgetItem* item = LB_FAV->item(group))
        item->setText(ui::FromLatin1(dbase::FavDialogItemText(group, name)));
    SB_Fav[static_cast<size_t>(group)]->setToolTip(ui::FromLatin1(name));
}

// ----------------------------------------------------------------- adding

void TFormMain::New_TpClick() {
    const int sat = SelectedSat();
    if (!db_->FileOpened || sat < 0) return;
    if (const dbase::Status s = dbase::CheckAddTransponder(*db_, sat); !s) {
        ui::MessageBox::error(this, Text(s.message()));
        return;
    }
    EditAccepted = false;
    AddTpMode = true;
    TFormEditTP dlg(*db_, this);
    dlg.AddTpMode = true;
    dlg.TpSlot = dbase::FirstFreeTpSlot(*db_);
    dlg.SatSlot = sat;
    dlg.exec();
    AddTpMode = false;
    EditAccepted = dlg.EditAccepted;
    if (!EditAccepted) return;
    db_->DataChanged = true;
    db_->ListSatTps(sat);
    FillTpGrid();
    SG_TP->SetRow(std::max(1, RowOfSlot(db_->TpList, dlg.TpSlot)));
    SG_TP->setFocus();
    ShowInfo(-1, SelectedTp(), -1);
}

void TFormMain::AddProgram(bool radio) {
    const int tp = SelectedTp();
    if (!db_->FileOpened || tp < 0) return;
    if (const dbase::Status s = dbase::CheckAddProgram(*db_, tp); !s) {
        ui::MessageBox::error(this, Text(s.message()));
        return;
    }
    (radio ? AddRadioMode : AddTvMode) = true;
    TvAdded = RadioAdded = false;
    TFormEditProg dlg(*db_, this);
    dlg.AddTvMode = !radio;
    dlg.AddRadioMode = radio;
    dlg.ProgSlot = db_->ProgCount;
    dlg.TpSlot = tp;
    dlg.exec();
    AddTvMode = AddRadioMode = false;
    TvAdded = dlg.TvAdded;
    RadioAdded = dlg.RadioAdded;
    if (!(radio ? RadioAdded : TvAdded)) return;
    db_->DataChanged = true;
    db_->ListTpProgs(tp);
    FillProgGrids();
    StringGrid* grid = radio ? SG_Radio : SG_TV;
    const int newSlot = db_->ProgCount - 1;
    grid->SetRow(std::max(1, RowOfSlot(radio ? db_->RadioList : db_->TvList, newSlot)));
    grid->setFocus();
    ShowInfo(-1, -1, radio ? SelectedRadio() : SelectedTv());
}

void TFormMain::New_TvClick() { AddProgram(false); }
void TFormMain::New_RadioClick() { AddProgram(true); }

// ----------------------------------------------------------------- deleting

void TFormMain::Delete_TpClick() {
    const int tp = SelectedTp();
    if (!db_->FileOpened || tp < 0) return;
    if (ui::MessageBox::warning(this, Text(dbase::msg::DeleteTpQuestion)) != ui::MessageBox::Yes) return;
    const int row = SG_TP->Row();
    const int rows = SG_TP->RowCount();
    const int sat = db_->Tp.data[tp].SatIndex;

    TpSelected = true;
    TvSelected = RadioSelected = false;
    const dbase::TpDeleteResult result = dbase::DeleteTransponder(*db_, tp, sat);

    db_->ListAllTps();
    if (SatSelected) db_->ListSatTps(SelectedSat());
    if (ActiveOnly && !SatSelected) ShowActiveSatellites();

    // The transponder shown next: the one that moved into the deleted row, or
    // the one above when the last row of a longer list went.
    int show = (row == rows - 1 && rows >= 3) ? db_->TpList[row - 2] : db_->TpList[row - 1];
    if (result.PlaceholderTpMade) show = result.placeholderSlot;
    db_->ListTpProgs(show);
    FillTpGrid();
    if (const int r = RowOfSlot(db_->TpList, show); r > 0) SG_TP->SetRow(r);
    ShowInfo(-1, show, -1);
    db_->DataChanged = true;
}

void TFormMain::Del_All_Empty_TpClick() {
    if (!db_->FileOpened) return;
    if (ui::MessageBox::warning(this, Text(dbase::msg::DeleteEmptyTpsQuestion)) != ui::MessageBox::Yes) return;
    const std::vector<int> empty =
        dbase::EmptyTransponders(*db_, std::span<const int>(db_->TpList.begin(), db_->TpList.end()));
    if (!empty.empty()) {
        TpSelected = true;
        TvSelected = RadioSelected = false;
    }
    dbase::DeleteTransponders(*db_, empty);

    const int sat = SelectedSat();
    if (SatSelected && sat >= 0) {
        db_->ListSatTps(sat);
        db_->ListSatProgs(sat);
    } else {
        db_->ListAllTps();
        db_->ListAllProgs();
    }
    if (ActiveOnly && !SatSelected) ShowActiveSatellites();
    if (TpSelected)
        db_->ListTpProgs(db_->TpList[0]);
    else
        db_->ListAllProgs();
    ShowInfo(-1, db_->TpList[0], -1);
    FillTpGrid();
    db_->DataChanged = true;
    SG_Sat->SetRow(0);
    SG_Sat->setFocus();
    if (TpSelected) {
        SG_TP->SetRow(1);
        SG_TP->setFocus();
    }
}

void TFormMain::DeleteProgram(bool radio) {
    const int slot = radio ? SelectedRadio() : SelectedTv();
    if (!db_->FileOpened || slot < 0) return;
    if (ui::MessageBox::warning(this, Text(dbase::msg::DeleteProgQuestion)) != ui::MessageBox::Yes) return;
    StringGrid* grid = radio ? SG_Radio : SG_TV;
    const int row = grid->Row();
    const int rows = grid->RowCount();
    const bool onlyOne = grid->gridModel()->BoundRows() == 1;
    TvSelected = !radio;
    RadioSelected = radio;
    dbase::DeleteProgram(*db_, slot);

    db_->ListAllProgs();
    if (SatSelected) db_->ListSatProgs(SelectedSat());
    if (TpSelected) db_->ListTpProgs(SelectedTp());
    if (FavListSelected) db_->ListFavProgs(SelectedFavGroup);
    if (FavListSelected && SatSelected) db_->ClearProgLists();

    // The program shown next: walk up from the row above when the last row of
    // a longer list went, else down from the deleted row's place.
    const dbase::ProgViewList& list = radio ? db_->RadioList : db_->TvList;
    auto fits = [&](int p) {
        return p >= 0 && db_->Prog.data[p].Used == 1 && (db_->Prog.data[p].IsRadio != 0) == radio;
    };
    int show = -1;
    if (row == rows - 1 && rows > 2) {
        for (int i = row - 2; i >= 0 && show < 0; --i)
            if (fits(list[i])) show = list[i];
    } else {
        for (int i = row - 1; i < list.size() && show < 0; ++i)
            if (fits(list[i])) show = list[i];
    }
    FillProgGrids();
    if (onlyOne || show < 0) {
        ShowInfo(-1, -1, -1);
    } else {
        ShowInfo(-1, -1, show);
        if (const int r = RowOfSlot(list, show); r > 0) grid->SetRow(r);
    }
    db_->DataChanged = true;
}

void TFormMain::Delete_TvClick() { DeleteProgram(false); }
void TFormMain::Delete_RadioClick() { DeleteProgram(true); }

void TFormMain::ResetSatellite1Click() {
    const int sat = SelectedSat();
    if (!db_->FileOpened || sat < 0) return;
    db_->DataChanged = true;
    if (ui::MessageBox::warning(this, Text(dbase::msg::ResetSatQuestion)) != ui::MessageBox::Yes) return;
    dbase::ResetSatellite(*db_, sat);
    ShowAllSatellites();
}

// ------------------------------------------------------------------ sorting

void TFormMain::SortPrograms(bool radio, int key) {
    if (!db_->FileOpened) return;
    db_->DataChanged = true;
    dbase::SortPrograms(*db_, radio ? dbase::ProgKind::Radio : dbase::ProgKind::Tv,
                        static_cast<dbase::SortKey>(key));
    dbase::ListProgsAfterSort(*db_, SG_Sat->Row());
    FillProgGrids();
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
    if (!db_->FileOpened || sat < 0) return;
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
    if (const dbase::Status s = dbase::ImportIni(*db_, sat, ini); !s) {
        ui::MessageBox::error(this, Text(s.message()));
        return;
    }
    ShowAllSatellites();
    ui::MessageBox::information(this, Text(dbase::msg::IniSuccess));
    // A notice: how many lines were left out and the first few, with an OK button.
    if (ini.skippedCount > 0) ui::MessageBox::information(this, Text(dbase::SkippedLinesWarning(ini)));
}
