// Popup menus of the main window, their enabling rules and the toolbar.
#include "Help/TFormAbout.h"
#include "Help/TFormHelp.h"
#include "RowTexts.h"
#include "TFormMain.h"
#include "ui/FormSetup.h"

#include <QCursor>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>

#include <array>
#include <functional>

namespace {

QMenu* Popup(QWidget* parent, const QString& name) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(name);
    return menu;
}

QMenu* Submenu(QMenu* parent, const QString& name, const QString& caption) {
    QMenu* menu = parent->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    return menu;
}

QAction* Item(QMenu* menu, const QString& name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

// "Sort" beside the hidden "Sore": the same three sorts of the popup's grid.
QMenu* SortMenu(QMenu* popup, const QString& name, const std::array<std::function<void()>, 3>& sorts, QObject* owner) {
    QMenu* menu = Submenu(popup, name, QStringLiteral("Sort"));
    const QString captions[] = {QStringLiteral("By name (A-Z)"), QStringLiteral("By favourite group"),
                                QStringLiteral("By transponder")};
    const QString names[] = {QStringLiteral("Name"), QStringLiteral("Fav"), QStringLiteral("Tp")};
    for (size_t i = 0; i < 3; ++i)
        QObject::connect(Item(menu, name + names[i], captions[i]), &QAction::triggered, owner, sorts[i]);
    return menu;
}

// Menu captions treat "&" as a mnemonic mark; a file name shows it as it is.
QString Caption(const std::string& path) {
    QString text = QFile::decodeName(QByteArray::fromStdString(path));
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

void TFormMain::BuildMenus() {
    // File
    PM_File = Popup(this, QStringLiteral("PM_File"));
    PMOpen = Submenu(PM_File, QStringLiteral("PMOpen"), QStringLiteral("Open"));
    OpenData = Item(PMOpen, QStringLiteral("OpenData"), QStringLiteral("Channel Data(256K)"));
    OpenDefault = Item(PMOpen, QStringLiteral("OpenDefault"), QStringLiteral("Default Data(128K)"));
    PMLastFiles = Submenu(PM_File, QStringLiteral("PMLastFiles"), QStringLiteral("Last Files"));
    LastFileName1 = Item(PMLastFiles, QStringLiteral("LastFileName1"), QString());
    PMLastFiles->addSeparator();
    LastFileName2 = Item(PMLastFiles, QStringLiteral("LastFileName2"), QString());
    LastFileName3 = Item(PMLastFiles, QStringLiteral("LastFileName3"), QString());
    PM_File->addSeparator();
    PMSave = Item(PM_File, QStringLiteral("PMSave"), QStringLiteral("Save"));
    Save_As = Submenu(PM_File, QStringLiteral("Save_As"), QStringLiteral("Save as..."));
    Save_Data = Item(Save_As, QStringLiteral("Save_Data"), QStringLiteral("Channel Data(256K)"));
    Save_Default = Item(Save_As, QStringLiteral("Save_Default"), QStringLiteral("Default Data(128K)"));
    PM_File->addSeparator();
    ExportList = Item(PM_File, QStringLiteral("ExportList"), QStringLiteral("Export list..."));
    ImportListOrder = Item(PM_File, QStringLiteral("ImportListOrder"), QStringLiteral("Import list order..."));
    CompareWithFile = Item(PM_File, QStringLiteral("CompareWithFile"), QStringLiteral("Compare with file..."));
    PrintList = Item(PM_File, QStringLiteral("PrintList"), QStringLiteral("Print list..."));
    PM_File->addSeparator();
    PMExit = Item(PM_File, QStringLiteral("PMExit"), QStringLiteral("Exit"));

    // Edit: the edit history. The items' shortcuts work anywhere in the window.
    PM_Edit = Popup(this, QStringLiteral("PM_Edit"));
    EditUndo = Item(PM_Edit, QStringLiteral("EditUndo"), QStringLiteral("Undo"));
    EditRedo = Item(PM_Edit, QStringLiteral("EditRedo"), QStringLiteral("Redo"));
    EditUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    EditRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    for (QAction* a : {EditUndo, EditRedo}) {
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
    }
    EditUndo->setEnabled(false);
    EditRedo->setEnabled(false);

    // Help
    PM_Help = Popup(this, QStringLiteral("PM_Help"));
    Help1 = Item(PM_Help, QStringLiteral("Help1"), QStringLiteral("Help"));
    PM_Help->addSeparator();
    About1 = Item(PM_Help, QStringLiteral("About1"), QStringLiteral("About..."));

    // Satellites
    PM_Sate = Popup(this, QStringLiteral("PM_Sate"));
    Show_Act_Sat = Item(PM_Sate, QStringLiteral("Show_Act_Sat"), QStringLiteral("Show active satellites"));
    Change_Sat = Item(PM_Sate, QStringLiteral("Change_Sat"), QStringLiteral("Change Sat data"));
    ResetSatellite1 = Item(PM_Sate, QStringLiteral("ResetSatellite1"), QStringLiteral("Reset Satellite"));
    DownLoadFromini1 = Item(PM_Sate, QStringLiteral("DownLoadFromini1"), QStringLiteral("DownLoad From  *.ini"));

    // Transponders
    PM_TP = Popup(this, QStringLiteral("PM_TP"));
    Change_Tp = Item(PM_TP, QStringLiteral("Change_Tp"), QStringLiteral("Change Tp data"));
    New = Submenu(PM_TP, QStringLiteral("New"), QStringLiteral("New"));
    New_Tp = Item(New, QStringLiteral("New_Tp"), QStringLiteral("TP"));
    New_Tp_Tv = Item(New, QStringLiteral("New_Tp_Tv"), QStringLiteral("TV "));
    New_Tp_Radio = Item(New, QStringLiteral("New_Tp_Radio"), QStringLiteral("Radio"));
    Delete_Tp = Item(PM_TP, QStringLiteral("Delete_Tp"), QStringLiteral("Delete Tp"));
    Del_All_Empty_Tp = Item(PM_TP, QStringLiteral("Del_All_Empty_Tp"), QStringLiteral("Delete all empty transponders"));

    // TV programs
    PM_Tv = Popup(this, QStringLiteral("PM_Tv"));
    Change_TV = Item(PM_Tv, QStringLiteral("Change_TV"), QStringLiteral("Change TV data"));
    New_Tv = Item(PM_Tv, QStringLiteral("New_Tv"), QStringLiteral("New TV"));
    Delete_Tv = Item(PM_Tv, QStringLiteral("Delete_Tv"), QStringLiteral("Delete Tv"));
    Sore1 = Submenu(PM_Tv, QStringLiteral("Sore1"), QStringLiteral("Sore"));
    SorebyAZ1 = Item(Sore1, QStringLiteral("SorebyAZ1"), QStringLiteral("Sore by A-Z"));
    SorebyTp1 = Item(Sore1, QStringLiteral("SorebyTp1"), QStringLiteral("Sore by Tp"));
    SorebyFav1 = Item(Sore1, QStringLiteral("SorebyFav1"), QStringLiteral("Sore by Fav"));
    Sore1->menuAction()->setVisible(false);

    // Radio programs
    PM_Radio = Popup(this, QStringLiteral("PM_Radio"));
    Change_Radio = Item(PM_Radio, QStringLiteral("Change_Radio"), QStringLiteral("Change Radio data"));
    New_Radio = Item(PM_Radio, QStringLiteral("New_Radio"), QStringLiteral("New Radio"));
    Delete_Radio = Item(PM_Radio, QStringLiteral("Delete_Radio"), QStringLiteral("Delete Radio"));
    Sore2 = Submenu(PM_Radio, QStringLiteral("Sore2"), QStringLiteral("Sore"));
    SorebyAZ2 = Item(Sore2, QStringLiteral("SorebyAZ2"), QStringLiteral("Sore by A-Z"));
    SorebyTp2 = Item(Sore2, QStringLiteral("SorebyTp2"), QStringLiteral("Sore by Tp"));
    SorebyFav2 = Item(Sore2, QStringLiteral("SorebyFav2"), QStringLiteral("Sore by Fav"));
    Sore2->menuAction()->setVisible(false);

    // Beyond those: the visible sorts, the marks of a selection and the moves
    // to a position.
    SortTv =
        SortMenu(PM_Tv, QStringLiteral("SortTv"),
                 {[this] { SorebyAZ1Click(); }, [this] { SorebyFav1Click(); }, [this] { SorebyTp1Click(); }}, this);
    SortRadio =
        SortMenu(PM_Radio, QStringLiteral("SortRadio"),
                 {[this] { SorebyAZ2Click(); }, [this] { SorebyFav2Click(); }, [this] { SorebyTp2Click(); }}, this);
    for (bool radio : {false, true}) {
        QMenu* popup = radio ? PM_Radio : PM_Tv;
        const QString kind = radio ? QStringLiteral("MarksRadio") : QStringLiteral("MarksTv");
        QMenu* marks = Submenu(popup, kind, QStringLiteral("Marks of selected"));
        (radio ? MarksRadio : MarksTv) = marks;
        QMenu* add = Submenu(marks, kind + QStringLiteral("Add"), QStringLiteral("Add to favourite"));
        QMenu* remove = Submenu(marks, kind + QStringLiteral("Remove"), QStringLiteral("Remove from favourite"));
        for (int g = 0; g < dbase::kFavGroups; ++g) {
            const QString number = QStringLiteral("%1").arg(g + 1, 2, 10, QLatin1Char('0'));
            connect(Item(add, kind + QStringLiteral("AddFav") + number, QString()), &QAction::triggered, this,
                    [this, radio, g] { SetMarksOfSelected(radio, g, true); });
            connect(Item(remove, kind + QStringLiteral("RemoveFav") + number, QString()), &QAction::triggered, this,
                    [this, radio, g] { SetMarksOfSelected(radio, g, false); });
        }
        // The groups are named as the favourite list names them when the submenu opens.
        for (QMenu* groups : {add, remove})
            connect(groups, &QMenu::aboutToShow, this, [this, groups] {
                const QList<QAction*> items = groups->actions();
                for (int g = 0; g < dbase::kFavGroups && g < items.size(); ++g)
                    items[g]->setText(ui::FromLatin1(rowtext::FavItem(g, Db().FavNames[static_cast<size_t>(g)])));
            });
        marks->addSeparator();
        const std::pair<const char*, std::pair<int, bool>> items[] = {{"Lock", {dbase::kLockButton, true}},
                                                                      {"Unlock", {dbase::kLockButton, false}},
                                                                      {"Skip", {dbase::kSkipButton, true}},
                                                                      {"Unskip", {dbase::kSkipButton, false}}};
        for (const auto& [caption, mark] : items)
            connect(Item(marks, kind + QString::fromLatin1(caption), QString::fromLatin1(caption)), &QAction::triggered,
                    this,
                    [this, radio, button = mark.first, on = mark.second] { SetMarksOfSelected(radio, button, on); });
    }
    const std::pair<QMenu*, QString> movePopups[] = {{PM_Sate, QStringLiteral("MovePosSat")},
                                                     {PM_TP, QStringLiteral("MovePosTp")},
                                                     {PM_Tv, QStringLiteral("MovePosTv")},
                                                     {PM_Radio, QStringLiteral("MovePosRadio")}};
    QAction** moveItems[] = {&MovePosSat, &MovePosTp, &MovePosTv, &MovePosRadio};
    StringGrid* moveGrids[] = {SG_Sat, SG_TP, SG_TV, SG_Radio};
    for (size_t i = 0; i < 4; ++i) {
        QAction* a = Item(movePopups[i].first, movePopups[i].second, QStringLiteral("Move to position..."));
        a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
        a->setShortcutContext(Qt::WidgetShortcut);
        moveGrids[i]->addAction(a);
        movePopups[i].first->setToolTipsVisible(true);
        *moveItems[i] = a;
        StringGrid* grid = moveGrids[i];
        connect(a, &QAction::triggered, this, [this, grid] { MoveToPositionClick(grid); });
        // The popup's enabling must not switch the grid's shortcut off.
        connect(movePopups[i].first, &QMenu::aboutToHide, a, [a] { a->setEnabled(true); });
    }
    PM_Tv->addSeparator();
    SelectDuplicates1 = Item(PM_Tv, QStringLiteral("SelectDuplicates1"), QStringLiteral("Select duplicates"));
    PM_Radio->addSeparator();
    SelectDuplicates2 = Item(PM_Radio, QStringLiteral("SelectDuplicates2"), QStringLiteral("Select duplicates"));

    // Favourite groups
    PM_FAV = Popup(this, QStringLiteral("PM_FAV"));
    PMLock = Item(PM_FAV, QStringLiteral("PMLock"), QStringLiteral("Lock"));
    PMUnlock = Item(PM_FAV, QStringLiteral("PMUnlock"), QStringLiteral("Unlock"));

    // The Delete shortcuts act on the grid that has the focus.
    const std::pair<QAction*, StringGrid*> deletes[] = {
        {Delete_Tp, SG_TP}, {Delete_Tv, SG_TV}, {Delete_Radio, SG_Radio}};
    for (auto [action, grid] : deletes) {
        action->setShortcut(QKeySequence(Qt::Key_Delete));
        action->setShortcutContext(Qt::WidgetShortcut);
        grid->addAction(action);
    }

    // Handlers.
    connect(OpenData, &QAction::triggered, this, [this] { OpenDataClick(true); });
    connect(OpenDefault, &QAction::triggered, this, [this] { OpenDataClick(false); });
    connect(LastFileName1, &QAction::triggered, this, [this] { LastFileName1Click(0); });
    connect(LastFileName2, &QAction::triggered, this, [this] { LastFileName1Click(1); });
    connect(LastFileName3, &QAction::triggered, this, [this] { LastFileName1Click(2); });
    connect(PMSave, &QAction::triggered, this, &TFormMain::PMSaveClick);
    connect(Save_Data, &QAction::triggered, this, [this] { Save_DataClick(true); });
    connect(Save_Default, &QAction::triggered, this, [this] { Save_DataClick(false); });
    connect(PMExit, &QAction::triggered, this, &TFormMain::TB_ExitClick);
    connect(ExportList, &QAction::triggered, this, &TFormMain::ExportListClick);
    connect(ImportListOrder, &QAction::triggered, this, &TFormMain::ImportListOrderClick);
    connect(CompareWithFile, &QAction::triggered, this, &TFormMain::CompareWithFileClick);
    connect(PrintList, &QAction::triggered, this, &TFormMain::PrintListClick);
    connect(SelectDuplicates1, &QAction::triggered, this, &TFormMain::SelectDuplicates1Click);
    connect(SelectDuplicates2, &QAction::triggered, this, &TFormMain::SelectDuplicates2Click);
    connect(EditUndo, &QAction::triggered, this, &TFormMain::UndoClick);
    connect(EditRedo, &QAction::triggered, this, &TFormMain::RedoClick);
    connect(Help1, &QAction::triggered, this, [this] { TFormHelp::ShowGuide(this); });
    connect(About1, &QAction::triggered, this, [this] { TFormAbout::ShowAbout(this); });
    connect(Show_Act_Sat, &QAction::triggered, this, &TFormMain::Show_Act_SatClick);
    connect(Change_Sat, &QAction::triggered, this, &TFormMain::SG_SatDblClick);
    connect(ResetSatellite1, &QAction::triggered, this, &TFormMain::ResetSatellite1Click);
    connect(DownLoadFromini1, &QAction::triggered, this, &TFormMain::DownLoadFromini1Click);
    connect(Change_Tp, &QAction::triggered, this, &TFormMain::SG_TPDblClick);
    connect(New_Tp, &QAction::triggered, this, &TFormMain::New_TpClick);
    connect(New_Tp_Tv, &QAction::triggered, this, &TFormMain::New_TvClick);
    connect(New_Tp_Radio, &QAction::triggered, this, &TFormMain::New_RadioClick);
    connect(Delete_Tp, &QAction::triggered, this, &TFormMain::Delete_TpClick);
    connect(Del_All_Empty_Tp, &QAction::triggered, this, &TFormMain::Del_All_Empty_TpClick);
    connect(Change_TV, &QAction::triggered, this, &TFormMain::SG_TVDblClick);
    connect(New_Tv, &QAction::triggered, this, &TFormMain::New_TvClick);
    connect(Delete_Tv, &QAction::triggered, this, &TFormMain::Delete_TvClick);
    connect(SorebyAZ1, &QAction::triggered, this, &TFormMain::SorebyAZ1Click);
    connect(SorebyTp1, &QAction::triggered, this, &TFormMain::SorebyTp1Click);
    connect(SorebyFav1, &QAction::triggered, this, &TFormMain::SorebyFav1Click);
    connect(Change_Radio, &QAction::triggered, this, &TFormMain::SG_RadioDblClick);
    connect(New_Radio, &QAction::triggered, this, &TFormMain::New_RadioClick);
    connect(Delete_Radio, &QAction::triggered, this, &TFormMain::Delete_RadioClick);
    connect(SorebyAZ2, &QAction::triggered, this, &TFormMain::SorebyAZ2Click);
    connect(SorebyTp2, &QAction::triggered, this, &TFormMain::SorebyTp2Click);
    connect(SorebyFav2, &QAction::triggered, this, &TFormMain::SorebyFav2Click);
    connect(PMLock, &QAction::triggered, this, &TFormMain::PMLockClick);
    connect(PMUnlock, &QAction::triggered, this, &TFormMain::PMUnlockClick);

    // Enabling rules run each time a popup opens.
    connect(PM_File, &QMenu::aboutToShow, this, &TFormMain::PM_FilePopup);
    connect(PM_Edit, &QMenu::aboutToShow, this, &TFormMain::PM_EditPopup);
    connect(PM_Sate, &QMenu::aboutToShow, this, &TFormMain::PM_SatePopup);
    connect(PM_TP, &QMenu::aboutToShow, this, &TFormMain::PM_TPPopup);
    connect(PM_Tv, &QMenu::aboutToShow, this, &TFormMain::PM_TvPopup);
    connect(PM_Radio, &QMenu::aboutToShow, this, &TFormMain::PM_RadioPopup);

    // Popups of the grids and the favourite list.
    const std::pair<QAbstractScrollArea*, QMenu*> popups[] = {
        {SG_Sat, PM_Sate}, {SG_TP, PM_TP}, {SG_TV, PM_Tv}, {SG_Radio, PM_Radio}, {LB_FAV, PM_FAV}};
    for (const auto& popup : popups) {
        QAbstractScrollArea* view = popup.first;
        QMenu* menu = popup.second;
        connect(view, &QWidget::customContextMenuRequested, menu,
                [view, menu](const QPoint& pos) { menu->popup(view->viewport()->mapToGlobal(pos)); });
    }
}

void TFormMain::TB_FileClick() { PM_File->popup(QCursor::pos()); }

void TFormMain::TB_EditClick() { PM_Edit->popup(QCursor::pos()); }

void TFormMain::TB_HelpClick() { PM_Help->popup(QCursor::pos()); }

void TFormMain::TB_ExitClick() { close(); }

void TFormMain::PM_FilePopup() {
    RecentFiles = dbase::ReadRecentFiles(QFile::encodeName(files_.settingsFile).toStdString());
    LastFileName1->setText(Caption(RecentFiles[0]));
    LastFileName2->setText(Caption(RecentFiles[1]));
    LastFileName3->setText(Caption(RecentFiles[2]));
    PMSave->setEnabled(Doc().FileOpened());
    Save_As->menuAction()->setEnabled(Doc().FileOpened());
    for (QAction* a : {ExportList, ImportListOrder, CompareWithFile, PrintList}) a->setEnabled(Doc().FileOpened());
}

void TFormMain::PM_SatePopup() {
    ShowInfo(-1, -1, -1);
    // The popup acts on the row it was opened on: the click on that row runs
    // first, so the lists, the flags and the info panel show that satellite.
    B_Sat->click();
    Show_Act_Sat->setEnabled(Doc().FileOpened());
    Change_Sat->setEnabled(SatSelected);
    ResetSatellite1->setEnabled(true);
    DownLoadFromini1->setEnabled(true);
    MovePosSat->setEnabled(SatSelected && RowBound(SG_Sat, SG_Sat->Row()));
}

void TFormMain::PM_TPPopup() {
    New_Tp->setEnabled(SatSelected && RowBound(SG_Sat, SG_Sat->Row()));
    QAction* const rowItems[] = {Change_Tp, Delete_Tp, New_Tp_Tv, New_Tp_Radio};
    if (RowBound(SG_TP, SG_TP->Row())) {
        Del_All_Empty_Tp->setEnabled(Doc().FileOpened());
        // The state before the popup decides; the replayed click comes after.
        for (QAction* a : rowItems) a->setEnabled(TpSelected);
        B_TP->click();
    } else {
        Del_All_Empty_Tp->setEnabled(false);
        for (QAction* a : rowItems) a->setEnabled(false);
    }
    // Transponders move only while one satellite is shown.
    MovePosTp->setEnabled(RowBound(SG_TP, SG_TP->Row()) && SatSelected && SelectedSat() >= 0);
}

void TFormMain::PM_TvPopup() {
    New_Tv->setEnabled(RowBound(SG_TP, SG_TP->Row()) && TpSelected);
    SelectDuplicates1->setEnabled(Doc().FileOpened());
    if (RowBound(SG_TV, SG_TV->Row())) {
        Change_TV->setEnabled(TvSelected);
        Delete_Tv->setEnabled(TvSelected);
        B_TV->click();
    } else {
        Change_TV->setEnabled(false);
        Delete_Tv->setEnabled(false);
    }
    ProgPopupExtras(SG_TV, SortTv, MarksTv, MovePosTv);
}

void TFormMain::PM_RadioPopup() {
    New_Radio->setEnabled(RowBound(SG_TP, SG_TP->Row()) && TpSelected);
    SelectDuplicates2->setEnabled(Doc().FileOpened());
    if (RowBound(SG_Radio, SG_Radio->Row())) {
        Change_Radio->setEnabled(RadioSelected);
        Delete_Radio->setEnabled(RadioSelected);
        B_Radio->click();
    } else {
        Change_Radio->setEnabled(false);
        Delete_Radio->setEnabled(false);
    }
    ProgPopupExtras(SG_Radio, SortRadio, MarksRadio, MovePosRadio);
}

void TFormMain::ProgPopupExtras(StringGrid* grid, QMenu* sort, QMenu* marks, QAction* movePos) {
    sort->menuAction()->setEnabled(Doc().FileOpened());
    marks->menuAction()->setEnabled(!grid->SelectedSlots().empty());
    const bool moves = RowBound(grid, grid->Row()) && ProgramMovesAllowed(grid, false);
    movePos->setEnabled(moves);
    movePos->setToolTip(FilterOn() ? grid->toolTip() : QString());
}
