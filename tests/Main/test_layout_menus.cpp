// The main window's layout, its popup menus with their exact items, and the
// enabling rules applied when a popup opens.
#include "EditLnb/TFormEditLnb.h"
#include "GuiTestSupport.h"
#include "Main/Pictures.h"
#include "SampleData.h"
#include "ui/FormSetup.h"
#include "ui/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QGlyphRun>
#include <QHash>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QSplitter>
#include <QTest>
#include <QTextLayout>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

using namespace guitest;

namespace {
QStringList Items(const QMenu* menu) {
    QStringList items;
    for (const QAction* a : menu->actions())
        items << (a->isSeparator() ? QStringLiteral("-") : a->objectName() + QLatin1Char('=') + a->text());
    return items;
}

// Right-clicks grid row `row` the way the window system delivers it: the
// press, then the request for the grid's popup, which opens `menu`.
void RightClickRow(StringGrid* grid, int row, QMenu* menu) {
    ClickRow(grid, row, Qt::RightButton);
    const QPoint at = grid->RowRect(row).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, grid->viewport()->mapToGlobal(at));
    QApplication::sendEvent(grid->viewport(), &event);
    QTRY_VERIFY(menu->isVisible());
    menu->close();
}

int RowNamed(const StringGrid* grid, const QString& name) { return ColumnTexts(grid, 1).indexOf(name) + 1; }
} // namespace

class TestLayoutMenus : public QObject {
    Q_OBJECT
private slots:
    void emptyStateShowsOnlyThePictureAndToolbar() {
        Env env;
        auto form = MakeForm(env);
        QCOMPARE(form->windowTitle(), QStringLiteral("QX_COMMON_ORBITLIST_TOOL V1.1.8 Loadini_onetp"));
        QCOMPARE(form->property("windowClassName").toString(), QStringLiteral("\u3010ORBITLIST 1.0.0\u3011"));
        QVERIFY(Widget<PictureView>(*form, "ImageMain")->isVisible());
        QVERIFY(!Widget<QWidget>(*form, "Panel_Top")->isVisible());
        QVERIFY(!Widget<QWidget>(*form, "PanelMain")->isVisible());
        QVERIFY(ui::IsFormScaled(form.get()));
        QCOMPARE(form->palette().color(QPalette::Window), QColor(221, 221, 221));
        // A fresh window would be maximised by its reset (the test un-maximised it to fix its size).
        TFormMain fresh(env.files());
        QVERIFY(fresh.windowState() & Qt::WindowMaximized);
    }

    void startPictureIsDecodedFromJpeg() {
        QVERIFY(QImageReader::supportedImageFormats().contains("jpeg"));
        QImageReader reader(QStringLiteral(":/images/background.jpg"));
        pictures::Background(); // registers the resources
        reader.setFileName(QStringLiteral(":/images/background.jpg"));
        QCOMPARE(reader.format(), QByteArray("jpeg"));
        const QPixmap picture = pictures::Background();
        QVERIFY(!picture.isNull());
        QVERIFY(picture.width() >= 640);
        Env env;
        auto form = MakeForm(env);
        QCOMPARE(Widget<PictureView>(*form, "ImageMain")->Picture().size(), picture.size());
    }

    void toolbarButtons() {
        Env env;
        auto form = MakeForm(env);
        QCOMPARE(Widget<QWidget>(*form, "CoolBar1")->height(), 35);
        QCOMPARE(Widget<QWidget>(*form, "CoolBar1")->y(), 0);
        QCOMPARE(Widget<QToolBar>(*form, "ToolBar1")->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
        const QStringList texts = {QStringLiteral("File"), QStringLiteral("Help"), QStringLiteral("Exit")};
        QList<QAction*> buttons;
        QStringList order;
        for (QAction* a : Widget<QToolBar>(*form, "ToolBar1")->actions())
            order << (a->isSeparator() ? QStringLiteral("-") : a->text());
        // "Edit" (the edit history) and "Receiver" (the receiver link) stand beside "File".
        QCOMPARE(order, (QStringList{texts[0], "-", "Edit", "-", "Receiver", "-", texts[1], "-", texts[2], "-"}));
        for (QAction* a : {Widget<QAction>(*form, "TB_File"), Widget<QAction>(*form, "TB_Edit"),
                           Widget<QAction>(*form, "TB_Help"), Widget<QAction>(*form, "TB_Exit")}) {
            QWidget* w = Widget<QToolBar>(*form, "ToolBar1")->widgetForAction(a);
            QCOMPARE(w->size(), QSize(63, 26));
            QVERIFY(!a->icon().isNull());
            // The hot picture differs from the normal one.
            QVERIFY(a->icon().pixmap(20, QIcon::Active).toImage() != a->icon().pixmap(20, QIcon::Normal).toImage());
        }
        QVERIFY(Widget<QAction>(*form, "TB_File")->font().bold() || Widget<QToolBar>(*form, "ToolBar1")->font().bold());
    }

    void fileMenuPopsUpFromTheToolbar() {
        Env env;
        auto form = MakeForm(env);
        form->TB_FileClick();
        QTRY_VERIFY(Widget<QMenu>(*form, "PM_File")->isVisible());
        Widget<QMenu>(*form, "PM_File")->close();
        form->TB_HelpClick();
        QTRY_VERIFY(Widget<QMenu>(*form, "PM_Help")->isVisible());
        Widget<QMenu>(*form, "PM_Help")->close();
    }

    void menusHoldTheirItemsInOrder() {
        Env env;
        auto form = MakeForm(env, false);
        QCOMPARE(Items(Widget<QMenu>(*form, "PM_File")),
                 (QStringList{"PMOpen=Open", "PMLastFiles=Last Files", "-", "PMSave=Save", "Save_As=Save as...", "-",
                              "ExportList=Export list...", "ImportListOrder=Import list order...",
                              "CompareWithFile=Compare with file...", "PrintList=Print list...", "-", "PMExit=Exit"}));
        QCOMPARE(Items(Widget<QMenu>(*form, "PMOpen")),
                 (QStringList{"OpenData=Channel Data(256K)", "OpenDefault=Default Data(128K)"}));
        QCOMPARE(Items(Widget<QMenu>(*form, "PMLastFiles")),
                 (QStringList{"LastFileName1=", "-", "LastFileName2=", "LastFileName3="}));
        QCOMPARE(Items(Widget<QMenu>(*form, "Save_As")),
                 (QStringList{"Save_Data=Channel Data(256K)", "Save_Default=Default Data(128K)"}));
        QCOMPARE(Items(Widget<QMenu>(*form, "PM_Help")), (QStringList{"Help1=Help", "-", "About1=About..."}));
        QCOMPARE(Items(Widget<QMenu>(*form, "PM_Sate")),
                 (QStringList{"Show_Act_Sat=Show active satellites", "Change_Sat=Change Sat data",
                              "ResetSatellite1=Reset Satellite", "DownLoadFromini1=DownLoad From  *.ini",
                              "MovePosSat=Move to position..."}));
        QCOMPARE(Items(Widget<QMenu>(*form, "PM_TP")),
                 (QStringList{"Change_Tp=Change Tp data", "New=New", "Delete_Tp=Delete Tp",
                              "Del_All_Empty_Tp=Delete all empty transponders", "MovePosTp=Move to position..."}));
        QCOMPARE(Items(Widget<QMenu>(*form, "New")), (QStringList{"New_Tp=TP", "New_Tp_Tv=TV ", "New_Tp_Radio=Radio"}));
        QCOMPARE(Items(Widget<QMenu>(*form, "PM_Tv")),
                 (QStringList{"Change_TV=Change TV data", "New_Tv=New TV", "Delete_Tv=Delete Tv", "Sore1=Sore",
                              "SortTv=Sort", "MarksTv=Marks of selected", "MovePosTv=Move to position...", "-",
                              "SelectDuplicates1=Select duplicates"}));
        QCOMPARE(Items(Widget<QMenu>(*form, "Sore1")),
                 (QStringList{"SorebyAZ1=Sore by A-Z", "SorebyTp1=Sore by Tp", "SorebyFav1=Sore by Fav"}));
        QCOMPARE(Items(Widget<QMenu>(*form, "PM_Radio")),
                 (QStringList{"Change_Radio=Change Radio data", "New_Radio=New Radio", "Delete_Radio=Delete Radio",
                              "Sore2=Sore", "SortRadio=Sort", "MarksRadio=Marks of selected",
                              "MovePosRadio=Move to position...", "-", "SelectDuplicates2=Select duplicates"}));
        QCOMPARE(Items(Widget<QMenu>(*form, "Sore2")),
                 (QStringList{"SorebyAZ2=Sore by A-Z", "SorebyTp2=Sore by Tp", "SorebyFav2=Sore by Fav"}));
        QCOMPARE(Items(Widget<QMenu>(*form, "PM_FAV")), (QStringList{"PMLock=Lock", "PMUnlock=Unlock"}));

        // The sort submenus exist but are never shown; Help opens the guide.
        QVERIFY(!Widget<QMenu>(*form, "Sore1")->menuAction()->isVisible());
        QVERIFY(!Widget<QMenu>(*form, "Sore2")->menuAction()->isVisible());
        QVERIFY(Widget<QAction>(*form, "Help1")->isEnabled());
        for (QAction* a : {Widget<QAction>(*form, "Delete_Tp"), Widget<QAction>(*form, "Delete_Tv"),
                           Widget<QAction>(*form, "Delete_Radio")})
            QCOMPARE(a->shortcut(), QKeySequence(Qt::Key_Delete));
        QVERIFY(Widget<StringGrid>(*form, "SG_TP")->actions().contains(Widget<QAction>(*form, "Delete_Tp")));
        QVERIFY(Widget<StringGrid>(*form, "SG_TV")->actions().contains(Widget<QAction>(*form, "Delete_Tv")));
        QVERIFY(Widget<StringGrid>(*form, "SG_Radio")->actions().contains(Widget<QAction>(*form, "Delete_Radio")));
    }

    void noFileMeansNoSaveAndNoFilter() {
        Env env;
        auto form = MakeForm(env, false);
        emit Widget<QMenu>(*form, "PM_File")->aboutToShow();
        QVERIFY(!Widget<QAction>(*form, "PMSave")->isEnabled());
        QVERIFY(!Widget<QMenu>(*form, "Save_As")->menuAction()->isEnabled());
        emit Widget<QMenu>(*form, "PM_Sate")->aboutToShow();
        QVERIFY(!Widget<QAction>(*form, "Show_Act_Sat")->isEnabled());
        QVERIFY(!Widget<QAction>(*form, "Change_Sat")->isEnabled());
        QVERIFY(Widget<QAction>(*form, "ResetSatellite1")->isEnabled());
        QVERIFY(Widget<QAction>(*form, "DownLoadFromini1")->isEnabled());
        // The filter command does nothing without a file.
        Widget<QAction>(*form, "Show_Act_Sat")->trigger();
        QVERIFY(!form->View().activeOnly);
    }

    void openFileEnablesSaveAndFilter() {
        Env env;
        auto form = MakeForm(env);
        OpenThroughMenu(*form, WriteSample(env));
        QVERIFY(form->Doc().FileOpened());
        emit Widget<QMenu>(*form, "PM_File")->aboutToShow();
        QVERIFY(Widget<QAction>(*form, "PMSave")->isEnabled());
        QVERIFY(Widget<QMenu>(*form, "Save_As")->menuAction()->isEnabled());
        ClickRow(Widget<StringGrid>(*form, "SG_Sat"), 1);
        QVERIFY(form->View().satSelected);
        QVERIFY(Widget<QListWidget>(*form, "LB_Info")->count() > 0);
        emit Widget<QMenu>(*form, "PM_Sate")->aboutToShow();
        QVERIFY(Widget<QAction>(*form, "Show_Act_Sat")->isEnabled());
        QVERIFY(Widget<QAction>(*form, "Change_Sat")->isEnabled());
        // The popup clears the info panel and replays the click on the satellite row.
        QCOMPARE(ListTexts(Widget<QListWidget>(*form, "LB_Info")),
                 QStringList{CellText(Widget<StringGrid>(*form, "SG_Sat"), 1, 1)});
    }

    void transponderPopupRules() {
        Env env;
        auto form = MakeForm(env);
        OpenThroughMenu(*form, WriteSample(env));
        QAction* const rowItems[] = {Widget<QAction>(*form, "Change_Tp"), Widget<QAction>(*form, "Delete_Tp"),
                                     Widget<QAction>(*form, "New_Tp_Tv"), Widget<QAction>(*form, "New_Tp_Radio")};

        // "Show ALL Info" is selected: no satellite, so no new transponder; the
        // current transponder row is bound but not yet clicked.
        emit Widget<QMenu>(*form, "PM_TP")->aboutToShow();
        QVERIFY(!Widget<QAction>(*form, "New_Tp")->isEnabled());
        QVERIFY(Widget<QAction>(*form, "Del_All_Empty_Tp")->isEnabled());
        for (QAction* a : rowItems) QVERIFY(!a->isEnabled());
        // The popup replayed a click on the current row.
        QVERIFY(form->View().tpSelected);
        QCOMPARE(Widget<QListWidget>(*form, "LB_Info")->count(), 3);
        emit Widget<QMenu>(*form, "PM_TP")->aboutToShow();
        for (QAction* a : rowItems) QVERIFY(a->isEnabled());

        ClickRow(Widget<StringGrid>(*form, "SG_Sat"), 2);
        emit Widget<QMenu>(*form, "PM_TP")->aboutToShow();
        QVERIFY(Widget<QAction>(*form, "New_Tp")->isEnabled());
    }

    void transponderPopupOnAnUnboundRowDisablesItsItems() {
        Env env;
        auto db = dbase::NewDatabase();
        sample::AddSat(*db, {"Empty Sat", 192});
        auto form = MakeForm(env);
        OpenThroughMenu(*form, WriteDataFile(*db, env.path(QStringLiteral("empty.bin")), true));
        QVERIFY(form->Doc().FileOpened());
        QCOMPARE(Widget<StringGrid>(*form, "SG_TP")->RowCount(), 2);
        emit Widget<QMenu>(*form, "PM_TP")->aboutToShow();
        QVERIFY(!Widget<QAction>(*form, "Del_All_Empty_Tp")->isEnabled());
        for (QAction* a : {Widget<QAction>(*form, "Change_Tp"), Widget<QAction>(*form, "Delete_Tp"),
                           Widget<QAction>(*form, "New_Tp_Tv"), Widget<QAction>(*form, "New_Tp_Radio")})
            QVERIFY(!a->isEnabled());
        QVERIFY(!form->View().tpSelected);
        emit Widget<QMenu>(*form, "PM_Tv")->aboutToShow();
        QVERIFY(!Widget<QAction>(*form, "New_Tv")->isEnabled());
        QVERIFY(!Widget<QAction>(*form, "Change_TV")->isEnabled());
        QVERIFY(!Widget<QAction>(*form, "Delete_Tv")->isEnabled());
    }

    void programPopupRulesReplayTheClick() {
        Env env;
        auto form = MakeForm(env);
        OpenThroughMenu(*form, WriteSample(env));
        emit Widget<QMenu>(*form, "PM_Tv")->aboutToShow();
        QVERIFY(!Widget<QAction>(*form, "New_Tv")->isEnabled()); // no transponder selected
        QVERIFY(!Widget<QAction>(*form, "Change_TV")->isEnabled());
        QVERIFY(form->View().tvSelected); // the replayed click selected the current row
        QCOMPARE(Widget<QListWidget>(*form, "LB_Info")->count(), 9);
        emit Widget<QMenu>(*form, "PM_Tv")->aboutToShow();
        QVERIFY(Widget<QAction>(*form, "Change_TV")->isEnabled());
        QVERIFY(Widget<QAction>(*form, "Delete_Tv")->isEnabled());

        ClickRow(Widget<StringGrid>(*form, "SG_TP"), 2);
        emit Widget<QMenu>(*form, "PM_Radio")->aboutToShow();
        QVERIFY(Widget<QAction>(*form, "New_Radio")->isEnabled());
        // The sample's second transponder carries radio programs.
        QVERIFY(form->RowBound(Widget<StringGrid>(*form, "SG_Radio"), 1));
        QVERIFY(!Widget<QAction>(*form, "Change_Radio")->isEnabled());
        QVERIFY(form->View().radioSelected);
        QVERIFY(!form->View().tvSelected);
        emit Widget<QMenu>(*form, "PM_Radio")->aboutToShow();
        QVERIFY(Widget<QAction>(*form, "Change_Radio")->isEnabled());
        QVERIFY(Widget<QAction>(*form, "Delete_Radio")->isEnabled());
    }

    void rightClickSelectsTheRowAndOpensThePopup() {
        Env env;
        auto form = MakeForm(env);
        OpenThroughMenu(*form, WriteSample(env));
        ClickRow(Widget<StringGrid>(*form, "SG_TV"), 3, Qt::RightButton);
        QCOMPARE(Widget<StringGrid>(*form, "SG_TV")->Row(), 3);
        QVERIFY(!form->View().tvSelected); // a right click alone runs no click handler
        const QRect r = Widget<StringGrid>(*form, "SG_TV")->RowRect(3);
        QContextMenuEvent event(QContextMenuEvent::Mouse, r.center(),
                                Widget<StringGrid>(*form, "SG_TV")->viewport()->mapToGlobal(r.center()));
        QApplication::sendEvent(Widget<StringGrid>(*form, "SG_TV")->viewport(), &event);
        QTRY_VERIFY(Widget<QMenu>(*form, "PM_Tv")->isVisible());
        QVERIFY(form->View().tvSelected);
        QCOMPARE(Widget<QListWidget>(*form, "LB_Info")->item(4)->text(),
                 CellText(Widget<StringGrid>(*form, "SG_TV"), 3, 1));
        Widget<QMenu>(*form, "PM_Tv")->close();
    }

    void satellitePopupActsOnTheRightClickedSatellite() {
        Env env;
        auto form = MakeForm(env);
        OpenThroughMenu(*form, WriteSample(env));
        const dbase::Database& db = form->Db();
        emit Widget<QMenu>(*form, "PM_Sate")->aboutToShow();
        Widget<QAction>(*form, "Show_Act_Sat")->trigger();
        QVERIFY(form->View().activeOnly);
        const int row = RowNamed(Widget<StringGrid>(*form, "SG_Sat"), QStringLiteral("Hot Bird 13.0E"));
        QVERIFY(row >= 1);

        RightClickRow(Widget<StringGrid>(*form, "SG_Sat"), row, Widget<QMenu>(*form, "PM_Sate"));
        // The click on the row ran before the popup: flags, lists and info panel.
        const int sat = form->SelectedSat();
        QCOMPARE(QString::fromStdString(db.Sat.data[sat].Name), QStringLiteral("Hot Bird 13.0E"));
        QVERIFY(form->View().satSelected);
        QCOMPARE(ListTexts(Widget<QListWidget>(*form, "LB_Info")), QStringList{"Hot Bird 13.0E"});
        QCOMPARE(Widget<StringGrid>(*form, "SG_TP")->gridModel()->BoundRows(), int(db.SatTpCounts[sat]));
        for (int r = 1; r <= Widget<StringGrid>(*form, "SG_TP")->gridModel()->BoundRows(); ++r)
            QCOMPARE(int(db.Tp.data[Widget<StringGrid>(*form, "SG_TP")->SlotOfRow(r)].SatIndex), sat);
        QVERIFY(Widget<QAction>(*form, "Change_Sat")->isEnabled());

        // "Change Sat data" edits that satellite.
        QString edited;
        QTimer::singleShot(0, [&edited] {
            auto* dialog = qobject_cast<TFormEditLnb*>(QApplication::activeModalWidget());
            if (!dialog) return;
            edited = dialog->Edit_Name->text();
            dialog->reject();
        });
        Widget<QAction>(*form, "Change_Sat")->trigger();
        QCOMPARE(edited, QStringLiteral("Hot Bird 13.0E"));

        // "Reset Satellite" on another right-clicked row resets that one.
        const int other = RowNamed(Widget<StringGrid>(*form, "SG_Sat"), QStringLiteral("Astra 19.2E"));
        RightClickRow(Widget<StringGrid>(*form, "SG_Sat"), other, Widget<QMenu>(*form, "PM_Sate"));
        const int astra = form->SelectedSat();
        QCOMPARE(ListTexts(Widget<QListWidget>(*form, "LB_Info")), QStringList{"Astra 19.2E"});
        QVERIFY(db.SatTpCounts[astra] > 1);
        const int hotbirdTps = db.SatTpCounts[sat];
        ui::MessageBox::setNextAnswer(ui::MessageBox::Yes);
        Widget<QAction>(*form, "ResetSatellite1")->trigger();
        QCOMPARE(int(db.SatTpCounts[astra]), 1);
        QCOMPARE(int(db.SatTpCounts[sat]), hotbirdTps);
    }

    void rightClickInAMarkingModeMarksOnce() {
        Env env;
        auto form = MakeForm(env);
        OpenThroughMenu(*form, WriteSample(env));
        const dbase::Database& db = form->Db();
        QTest::mouseClick(guitest::FavButton(*form, 4), Qt::LeftButton);
        QVERIFY(guitest::FavButton(*form, 4)->isChecked());
        const int prog = Widget<StringGrid>(*form, "SG_TV")->SlotOfRow(2);
        const bool before = db.InFavGroup(prog, 4);
        RightClickRow(Widget<StringGrid>(*form, "SG_TV"), 2, Widget<QMenu>(*form, "PM_Tv"));
        QCOMPARE(db.InFavGroup(prog, 4), !before);
        // On a satellite the popup releases the favourite mode, as a click does.
        RightClickRow(Widget<StringGrid>(*form, "SG_Sat"), 2, Widget<QMenu>(*form, "PM_Sate"));
        QVERIFY(!guitest::FavButton(*form, 4)->isChecked());
        QCOMPARE(db.InFavGroup(prog, 4), !before);
    }

    void panelsTitlesAndButtons() {
        Env env;
        auto form = MakeForm(env);
        OpenThroughMenu(*form, WriteSample(env));
        QVERIFY(Widget<QWidget>(*form, "Panel_Top")->isVisible());
        QVERIFY(Widget<QWidget>(*form, "PanelMain")->isVisible());
        QVERIFY(!Widget<PictureView>(*form, "ImageMain")->isVisible());
        QCOMPARE(Widget<QWidget>(*form, "Panel_Top")->height(), 30);
        QCOMPARE(Widget<QWidget>(*form, "Panel_SatInfo")->width(), 250);
        QCOMPARE(Widget<QWidget>(*form, "Panel_TraFav")->width(), 260);
        QCOMPARE(Widget<QWidget>(*form, "Panel_TV")->width(), 250);
        QCOMPARE(Widget<QWidget>(*form, "Panel_Info")->height(), 180);
        QCOMPARE(Widget<QWidget>(*form, "Panel_FAV")->height(), 278);
        QCOMPARE(Widget<QSplitter>(*form, "SplitterColumns")->handleWidth(), 3);
        QCOMPARE(Widget<QSplitter>(*form, "SplitterColumns")->handle(1)->sizeHint().width(), 3);
        QCOMPARE(Widget<QSplitter>(*form, "SplitterColumns")->handle(2)->sizeHint().width(), 4); // transponders | TV
        QCOMPARE(Widget<QSplitter>(*form, "SplitterColumns")->handle(3)->sizeHint().width(), 3);
        // The columns sit 3 and 4 pixels apart.
        QCOMPARE(Widget<QWidget>(*form, "Panel_TraFav")->x() -
                     (Widget<QWidget>(*form, "Panel_SatInfo")->x() + Widget<QWidget>(*form, "Panel_SatInfo")->width()),
                 3);
        QCOMPARE(Widget<QWidget>(*form, "Panel_TV")->x() -
                     (Widget<QWidget>(*form, "Panel_TraFav")->x() + Widget<QWidget>(*form, "Panel_TraFav")->width()),
                 4);
        QVERIFY(!Widget<QSplitter>(*form, "SplitterColumns")->opaqueResize());

        QStringList titles;
        for (const QLabel* l : Widget<QWidget>(*form, "PanelMain")->findChildren<QLabel*>()) titles << l->text();
        for (const char* t : {"Satellites:", "Info:", "Transponder:", "FAV:    ( Red : Lock   Green: Unlock )",
                              "TV Channels:", "Radio Channels:", "(Status: Browse)"})
            QVERIFY2(titles.contains(QString::fromLatin1(t)), t);
        QCOMPARE(Widget<QToolButton>(*form, "SB_NewTp")->text(), QStringLiteral("Add"));
        QCOMPARE(Widget<QToolButton>(*form, "SB_NewTp")->toolTip(), QStringLiteral("Now Transponder"));
        QCOMPARE(Widget<QToolButton>(*form, "SB_NewTv")->toolTip(), QStringLiteral("Now Tv"));
        QCOMPARE(Widget<QToolButton>(*form, "SB_NewRadio")->toolTip(), QStringLiteral("Now Radio"));
        QCOMPARE(Widget<QListWidget>(*form, "LB_Info")->font().pixelSize(), 12);
        QCOMPARE(Widget<QListWidget>(*form, "LB_FAV")->font().pixelSize(), 14);
        QCOMPARE(Widget<QLabel>(*form, "LabelFileName")->palette().color(QPalette::WindowText), QColor(128, 0, 0));
        QCOMPARE(Widget<QFrame>(*form, "Panel_FileName")->width(),
                 Widget<QLabel>(*form, "LabelFileName")->width() + 20);
    }

    // The symbols the window draws (the grids' stars and bullseye, the find
    // box's arrow and cross) are not in Arial's set: an installed font must
    // have them, or they show as empty boxes.
    void theWindowsSymbolsHaveGlyphs() {
        Env env;
        auto form = MakeForm(env);
        const QFont font = Widget<StringGrid>(*form, "SG_Sat")->font();
        for (const QString& symbol :
             {QStringLiteral("\u2606"), QStringLiteral("\u25CE"), QStringLiteral("\u25BE"), QStringLiteral("\u2715")}) {
            QTextLayout layout(symbol, font);
            layout.beginLayout();
            layout.createLine();
            layout.endLayout();
            const QList<QGlyphRun> runs = layout.glyphRuns();
            QVERIFY(!runs.isEmpty());
            for (const QGlyphRun& run : runs)
                for (const quint32 glyph : run.glyphIndexes()) QVERIFY2(glyph != 0, qPrintable(symbol));
        }
    }

    // Tests and tools reach the window's widgets, menus and items by name:
    // each name must lead to one object only. A submenu and its item share
    // their name; Qt's own parts (names "qt_...") and a grid's own parts are
    // not the window's.
    void everyNamedPartOfTheWindowHasItsOwnName() {
        Env env;
        auto form = MakeForm(env);
        OpenThroughMenu(*form, WriteSample(env));
        QHash<QString, QList<QObject*>> byName;
        auto inGrid = [](const QObject* o) {
            for (const QObject* p = o->parent(); p; p = p->parent())
                if (qobject_cast<const StringGrid*>(p)) return true;
            return false;
        };
        for (QObject* o : form->findChildren<QObject*>()) {
            if (inGrid(o)) continue;
            const QString name = o->objectName();
            if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_"))) byName[name] << o;
        }
        QStringList shared;
        for (auto it = byName.cbegin(); it != byName.cend(); ++it) {
            const QList<QObject*>& objects = it.value();
            if (objects.size() == 1) continue;
            auto* menu =
                qobject_cast<QMenu*>(objects[0]) ? qobject_cast<QMenu*>(objects[0]) : qobject_cast<QMenu*>(objects[1]);
            if (objects.size() == 2 && menu && objects.contains(menu->menuAction())) continue;
            shared << it.key();
        }
        QCOMPARE(shared.join(QLatin1Char(',')), QString());
        // The ones the handlers and the tests name, of the kinds they are.
        QVERIFY(byName.contains(QStringLiteral("SG_Sat")) && qobject_cast<StringGrid*>(byName["SG_Sat"][0]));
        QVERIFY(qobject_cast<QListWidget*>(byName.value(QStringLiteral("LB_FAV")).value(0)));
        QVERIFY(qobject_cast<QAction*>(byName.value(QStringLiteral("Show_Act_Sat")).value(0)));
        QVERIFY(qobject_cast<QToolButton*>(byName.value(QStringLiteral("SB_Fav16")).value(0)));
    }

    void markingButtonsFormOneGroupThatMayBeAllUp() {
        Env env;
        auto form = MakeForm(env);
        OpenThroughMenu(*form, WriteSample(env));
        const QStringList hints = {"Movie",   "News",     "Show",    "Sports",   "Children", "Music",
                                   "Art",     "Educate",  "LeiSure", "Shopping", "Adult",    "Indonesia",
                                   "England", "Mandarin", "Taibei",  "India"};
        for (int g = 0; g < 16; ++g) {
            QToolButton* b = guitest::FavButton(*form, g);
            QCOMPARE(b->objectName(), QStringLiteral("SB_Fav%1").arg(g + 1, 2, 10, QLatin1Char('0')));
            QCOMPARE(b->toolTip(), hints[g]);
            QCOMPARE(b->geometry(), QRect(63 + 27 * g, 3, 26, 24));
            QVERIFY(!b->icon().isNull());
        }
        QCOMPARE(Widget<QToolButton>(*form, "SB_Skip")->x(), 1);
        QCOMPARE(Widget<QToolButton>(*form, "SB_Lock")->x(), 28);
        QCOMPARE(Widget<QToolButton>(*form, "SB_Skip")->toolTip(), QStringLiteral("Skip"));
        QCOMPARE(Widget<QToolButton>(*form, "SB_Lock")->toolTip(), QStringLiteral("Lock"));
        QCOMPARE(Widget<QWidget>(*form, "Panel_EditFav")->width(), 495);

        auto down = [&] {
            QStringList names;
            for (QToolButton* b : Widget<QWidget>(*form, "Panel_EditFav")->findChildren<QToolButton*>())
                if (b->isChecked()) names << b->objectName();
            return names;
        };
        QTest::mouseClick(guitest::FavButton(*form, 2), Qt::LeftButton);
        QCOMPARE(down(), QStringList{"SB_Fav03"});
        QTest::mouseClick(Widget<QToolButton>(*form, "SB_Lock"), Qt::LeftButton);
        QCOMPARE(down(), QStringList{"SB_Lock"});
        QTest::mouseClick(Widget<QToolButton>(*form, "SB_Lock"), Qt::LeftButton);
        QVERIFY(down().isEmpty());

        // A satellite click releases a favourite button but keeps lock/skip.
        QTest::mouseClick(guitest::FavButton(*form, 0), Qt::LeftButton);
        ClickRow(Widget<StringGrid>(*form, "SG_Sat"), 1);
        QVERIFY(down().isEmpty());
        QTest::mouseClick(Widget<QToolButton>(*form, "SB_Skip"), Qt::LeftButton);
        ClickRow(Widget<StringGrid>(*form, "SG_Sat"), 2);
        QCOMPARE(down(), QStringList{"SB_Skip"});
    }

    void enableFavButtons() {
        Env env;
        auto form = MakeForm(env, false);
        form->EnableFavButtons(4);
        for (int g = 0; g < 16; ++g) QCOMPARE(guitest::FavButton(*form, g)->isEnabled(), g == 4);
        form->EnableFavButtons(16);
        for (int g = 0; g < 16; ++g) QVERIFY(guitest::FavButton(*form, g)->isEnabled());
        form->EnableFavButtons(17);
        for (int g = 0; g < 16; ++g) QVERIFY(!guitest::FavButton(*form, g)->isEnabled());
        // A satellite click enables them all again.
        form->SG_SatClick();
        for (int g = 0; g < 16; ++g) QVERIFY(guitest::FavButton(*form, g)->isEnabled());
    }

    void hiddenButtonsReplayClicks() {
        Env env;
        auto form = MakeForm(env);
        OpenThroughMenu(*form, WriteSample(env));
        for (QPushButton* b : {Widget<QPushButton>(*form, "B_Sat"), Widget<QPushButton>(*form, "B_TP"),
                               Widget<QPushButton>(*form, "B_TV"), Widget<QPushButton>(*form, "B_Radio"),
                               Widget<QPushButton>(*form, "B_FAV")})
            QVERIFY(!b->isVisible());
        Widget<StringGrid>(*form, "SG_TP")->SetRow(2);
        QVERIFY(!form->View().tpSelected);
        Widget<QPushButton>(*form, "B_TP")->click();
        QVERIFY(form->View().tpSelected);
        Widget<StringGrid>(*form, "SG_Sat")->SetRow(3);
        Widget<QPushButton>(*form, "B_Sat")->click();
        QVERIFY(form->View().satSelected);
        QVERIFY(!form->View().tpSelected);
    }

    void secondStartRestoresAMinimisedWindow() {
        Env env;
        auto form = MakeForm(env);
        form->showMinimized();
        QTRY_VERIFY(form->isMinimized());
        form->RestoreOrRaise();
        QTRY_VERIFY(!form->isMinimized());
        QVERIFY(form->isVisible());
    }
};

QTEST_MAIN(TestLayoutMenus)
#include "test_layout_menus.moc"
