// The four grids and the favourite list: row texts and numbering, the
// selection cascade with its flags, the active-satellite filter, cell
// colours, the wheel and the keyboard.
#include "GuiTestSupport.h"
#include "Main/RowTexts.h"
#include "SampleData.h"
#include "editing/EditorFields.h"

#include <QHeaderView>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

using namespace guitest;

namespace {

const QString kStars = QStringLiteral(" \u2606\u2606");

QStringList Headers(const StringGrid* grid) {
    QStringList h;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        h << grid->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    return h;
}

QList<int> Widths(const StringGrid* grid) {
    QList<int> w;
    for (int c = 0; c < grid->model()->columnCount(); ++c) w << grid->columnWidth(c);
    return w;
}

// Three satellites; the middle one has a transponder but no program.
std::unique_ptr<dbase::Database> ThreeSats() {
    auto db = dbase::NewDatabase();
    const int a = sample::AddSat(*db, {"Alpha   ", 192});
    const int b = sample::AddSat(*db, {"Beta", 130});
    const int c = sample::AddSat(*db, {"Gamma", 282});
    const int ta = sample::AddTp(*db, a, 0, false, 3840, 0);
    sample::AddTp(*db, b, 12500, true, 27500, 3);
    const int tc = sample::AddTp(*db, c, 11000, false, 22000, 2);
    const int tc2 = sample::AddTp(*db, c, 11100, true, 22000, 2);
    (void)tc2;
    sample::ProgSpec p;
    p.name = "Free One";
    sample::AddProg(*db, ta, p);
    p.name = "Pay Two";
    p.scrambled = true;
    sample::AddProg(*db, tc, p);
    p.name = "Wave";
    p.scrambled = false;
    p.radio = true;
    sample::AddProg(*db, tc, p);
    return db;
}

} // namespace

class TestListViews : public QObject {
    Q_OBJECT
private slots:
    void gridsAfterOpeningTheSample() {
        Env env;
        auto form = MakeForm(env);
        OpenThroughMenu(*form, CopyBundledSample(env));
        const auto db = sample::BuildSample();
        // Satellites: row 0 is the "Show ALL Info" row, then one numbered row each.
        QCOMPARE(Widget<StringGrid>(*form, "SG_Sat")->RowCount(), 1 + db->SatCount);
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_Sat"), 0, 0), kStars);
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_Sat"), 0, 1), QStringLiteral("Show ALL Info"));
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_Sat"), 3, 0), QStringLiteral("NO.3: "));
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_Sat"), 2, 1), QStringLiteral("Hot Bird 13.0E"));
        QCOMPARE(Widget<StringGrid>(*form, "SG_Sat")->Row(), 0);
        QVERIFY(!Widget<StringGrid>(*form, "SG_Sat")->horizontalHeader()->isVisible());
        // All transponders and programs.
        QCOMPARE(Widget<StringGrid>(*form, "SG_TP")->RowCount(), 1 + db->TpCount);
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_TP"), 1, 0), QStringLiteral("NO.1: "));
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_TP"), 1, 1), QStringLiteral("11361"));
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_TP"), 1, 2), QStringLiteral("H"));
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_TP"), 1, 3), QStringLiteral("22000"));
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_TP"), 1, 4), QStringLiteral("2/3"));
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_TP"), 34, 1), QStringLiteral("03730"));
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_TP"), 34, 3), QStringLiteral("03840"));
        QCOMPARE(Widget<StringGrid>(*form, "SG_TV")->RowCount(), 31);
        QCOMPARE(Widget<StringGrid>(*form, "SG_Radio")->RowCount(), 11);
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_TV"), 1, 1), QStringLiteral("Alpen TV"));
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_TV"), 4, 2), QStringLiteral("$"));
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_TV"), 1, 2), QString());
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_TV"), 28, 1), QStringLiteral(" Zenith")); // leading blanks stay
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_Radio"), 10, 0), QStringLiteral("NO.10: "));
        QVERIFY(!form->View().satSelected && !form->View().tpSelected && !form->View().tvSelected &&
                !form->View().radioSelected);
        QVERIFY(!form->View().activeOnly);
    }

    void headersWidthsAndFonts() {
        Env env;
        auto form = MakeForm(env, false);
        QCOMPARE(Headers(Widget<StringGrid>(*form, "SG_TP")), (QStringList{kStars, "Freq", "Pol", "Sym", "FEC"}));
        QCOMPARE(Headers(Widget<StringGrid>(*form, "SG_TV")),
                 (QStringList{kStars, "TV.Name", QStringLiteral("\u25CE")}));
        QCOMPARE(Headers(Widget<StringGrid>(*form, "SG_Radio")),
                 (QStringList{kStars, "Radio.Name", QStringLiteral("\u25CE")}));
        QCOMPARE(Widths(Widget<StringGrid>(*form, "SG_Sat")), (QList<int>{50, 170}));
        QCOMPARE(Widths(Widget<StringGrid>(*form, "SG_TP")), (QList<int>{60, 50, 30, 50, 35}));
        QCOMPARE(Widths(Widget<StringGrid>(*form, "SG_TV")), (QList<int>{60, 140, 20}));
        QCOMPARE(Widths(Widget<StringGrid>(*form, "SG_Radio")), (QList<int>{60, 140, 20}));
        for (StringGrid* g : {Widget<StringGrid>(*form, "SG_Sat"), Widget<StringGrid>(*form, "SG_TP"),
                              Widget<StringGrid>(*form, "SG_TV"), Widget<StringGrid>(*form, "SG_Radio")}) {
            QCOMPARE(g->font().pixelSize(), 14);
            QCOMPARE(g->verticalHeader()->defaultSectionSize(), 20);
            QCOMPARE(g->selectionBehavior(), QAbstractItemView::SelectRows);
        }
        // Before a file is open: header plus one empty row.
        QCOMPARE(Widget<StringGrid>(*form, "SG_TP")->RowCount(), 2);
        QVERIFY(!form->RowBound(Widget<StringGrid>(*form, "SG_TP"), 1));
    }

    void rowTextsAreTrimmedAndZeroFilled() {
        Env env;
        auto db = ThreeSats();
        auto form = MakeForm(env);
        OpenThroughMenu(*form, WriteDataFile(*db, env.path(QStringLiteral("three.bin")), true));
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_Sat"), 1, 1), QStringLiteral("Alpha"));
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_TP"), 1, 1), QStringLiteral("00000"));
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_TP"), 1, 3), QStringLiteral("03840"));
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_TP"), 2, 1), QStringLiteral("12500"));
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_TP"), 2, 2), QStringLiteral("V"));
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_TP"), 2, 4), QStringLiteral("3/4"));
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_TV"), 2, 2), QStringLiteral("$"));
        QCOMPARE(rowtext::FiveWide("123456"), std::string("123456"));
        QCOMPARE(rowtext::FiveWide(""), std::string("00000"));
    }

    void favouriteListTexts() {
        Env env;
        auto form = MakeForm(env);
        OpenThroughMenu(*form, CopyBundledSample(env));
        const QStringList items = ListTexts(Widget<QListWidget>(*form, "LB_FAV"));
        QCOMPARE(items.size(), 16);
        QCOMPARE(items[0], QStringLiteral("FAV.01 :  Movie"));
        QCOMPARE(items[1], QStringLiteral("FAV.02 :  News"));
        QCOMPARE(items[2], QStringLiteral("FAV.3 :  "));
        QCOMPARE(items[3], QStringLiteral("FAV.04 :  Sports"));
        QCOMPARE(items[4], QStringLiteral("FAV.5 :  "));
        QCOMPARE(items[9], QStringLiteral("FAV.10 :  "));
        QCOMPARE(items[15], QStringLiteral("FAV.16 :  "));
        QCOMPARE(rowtext::FavItem(9, "Ten  "), std::string("FAV.10 :  Ten"));
        QCOMPARE(rowtext::FavItem(11, "Etc"), std::string("FAV.12 :  Etc"));
        QCOMPARE(rowtext::FavItem(4, "Kids"), std::string("FAV.05 :  Kids"));
        // Heights cycle 16, 18, 20; locked groups are red, the others green.
        const QAbstractItemDelegate* d = Widget<QListWidget>(*form, "LB_FAV")->itemDelegate();
        QStyleOptionViewItem opt;
        for (int i = 0; i < 6; ++i)
            QCOMPARE(d->sizeHint(opt, Widget<QListWidget>(*form, "LB_FAV")->model()->index(i, 0)).height(),
                     16 + 2 * (i % 3));
        Widget<QListWidget>(*form, "LB_FAV")->doItemsLayout();
        const QImage image = Widget<QListWidget>(*form, "LB_FAV")->viewport()->grab().toImage();
        auto textColourIn = [&](int row) {
            const QRect r =
                Widget<QListWidget>(*form, "LB_FAV")->visualItemRect(Widget<QListWidget>(*form, "LB_FAV")->item(row));
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x < r.left() + 60; ++x)
                    if (image.pixelColor(x, y) != QColor(Qt::white)) return image.pixelColor(x, y);
            return QColor();
        };
        const QColor locked = textColourIn(3), unlocked = textColourIn(0);
        QVERIFY2(locked.red() > 150 && locked.green() < 100, qPrintable(locked.name()));
        QVERIFY2(unlocked.green() > 80 && unlocked.red() < 100, qPrintable(unlocked.name()));
    }

    void selectionCascade() {
        Env env;
        auto form = MakeForm(env);
        OpenThroughMenu(*form, CopyBundledSample(env));
        const auto db = sample::BuildSample();

        // A satellite narrows the transponders and programs to its own.
        ClickRow(Widget<StringGrid>(*form, "SG_Sat"), 2);
        QVERIFY(form->View().satSelected);
        QVERIFY(!form->View().tpSelected);
        int hotbirdTps = 0;
        for (int t = 0; t < dbase::kTpSlots; ++t)
            hotbirdTps += db->Tp.data[t].Used == 1 && db->Tp.data[t].SatIndex == 1;
        QCOMPARE(Widget<StringGrid>(*form, "SG_TP")->RowCount(), 1 + hotbirdTps);
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_TP"), 1, 0), QStringLiteral("NO.1: ")); // numbering restarts
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_TP"), 1, 1), QStringLiteral("10719"));
        for (int r = 1; r < Widget<StringGrid>(*form, "SG_TV")->RowCount(); ++r)
            QCOMPARE(int(form->Db().Prog.data[Widget<StringGrid>(*form, "SG_TV")->SlotOfRow(r)].SatIndex), 1);
        QCOMPARE(ListTexts(Widget<QListWidget>(*form, "LB_Info")), QStringList{"Hot Bird 13.0E"});
        QVERIFY(Widget<QToolButton>(*form, "SB_NewTp")->isEnabled());
        QVERIFY(!Widget<QToolButton>(*form, "SB_NewTv")->isEnabled());

        // A transponder narrows the programs.
        ClickRow(Widget<StringGrid>(*form, "SG_TP"), 2);
        QVERIFY(form->View().tpSelected);
        QVERIFY(form->View().satSelected);
        const int tp = Widget<StringGrid>(*form, "SG_TP")->SlotOfRow((1) + 1);
        for (int r = 1; r < Widget<StringGrid>(*form, "SG_TV")->RowCount(); ++r)
            if (form->RowBound(Widget<StringGrid>(*form, "SG_TV"), r))
                QCOMPARE(int(form->Db().Prog.data[Widget<StringGrid>(*form, "SG_TV")->SlotOfRow(r)].TpIndex), tp);
        QCOMPARE(Widget<QListWidget>(*form, "LB_Info")->count(), 3);
        QVERIFY(Widget<QToolButton>(*form, "SB_NewTv")->isEnabled());
        QVERIFY(Widget<QToolButton>(*form, "SB_NewRadio")->isEnabled());

        // A program only selects; the transponder stays selected.
        const int tvRows = Widget<StringGrid>(*form, "SG_TV")->RowCount();
        if (form->RowBound(Widget<StringGrid>(*form, "SG_TV"), 1)) {
            ClickRow(Widget<StringGrid>(*form, "SG_TV"), 1);
            QVERIFY(form->View().tvSelected);
            QVERIFY(!form->View().radioSelected);
            QVERIFY(form->View().tpSelected);
            QCOMPARE(Widget<StringGrid>(*form, "SG_TV")->RowCount(), tvRows);
            QCOMPARE(Widget<QListWidget>(*form, "LB_Info")->count(), 9);
        }
        if (form->RowBound(Widget<StringGrid>(*form, "SG_Radio"), 1)) {
            ClickRow(Widget<StringGrid>(*form, "SG_Radio"), 1);
            QVERIFY(form->View().radioSelected);
            QVERIFY(!form->View().tvSelected);
        }

        // "Show ALL Info" brings everything back and clears the selection.
        ClickRow(Widget<StringGrid>(*form, "SG_Sat"), 0);
        QVERIFY(!form->View().satSelected && !form->View().tpSelected && !form->View().tvSelected &&
                !form->View().radioSelected);
        QCOMPARE(Widget<StringGrid>(*form, "SG_TP")->RowCount(), 1 + db->TpCount);
        QCOMPARE(Widget<StringGrid>(*form, "SG_TV")->RowCount(), 31);
        QVERIFY(!Widget<QToolButton>(*form, "SB_NewTp")->isEnabled());
        QVERIFY(!Widget<QToolButton>(*form, "SB_NewTv")->isEnabled());
        QVERIFY(Widget<QToolButton>(*form, "SB_Skip")->isEnabled());
        QVERIFY(Widget<QToolButton>(*form, "SB_Lock")->isEnabled());
    }

    void clicksOnUnboundRowsChangeNothing() {
        Env env;
        auto db = dbase::NewDatabase();
        sample::AddSat(*db, {"Lonely", 192});
        auto form = MakeForm(env);
        OpenThroughMenu(*form, WriteDataFile(*db, env.path(QStringLiteral("lonely.bin")), true));
        ClickRow(Widget<StringGrid>(*form, "SG_Sat"), 1);
        QVERIFY(form->View().satSelected);
        QCOMPARE(Widget<StringGrid>(*form, "SG_TP")->RowCount(), 2);
        ClickRow(Widget<StringGrid>(*form, "SG_TP"), 1);
        QVERIFY(!form->View().tpSelected);
        QVERIFY(!Widget<QToolButton>(*form, "SB_NewTv")->isEnabled());
        ClickRow(Widget<StringGrid>(*form, "SG_TV"), 1);
        QVERIFY(!form->View().tvSelected);
        QCOMPARE(ListTexts(Widget<QListWidget>(*form, "LB_Info")), QStringList{"Lonely"});
    }

    void zeroSatellitesLeaveOnlyTheShowAllRow() {
        Env env;
        auto db = dbase::NewDatabase();
        auto form = MakeForm(env);
        OpenThroughMenu(*form, WriteDataFile(*db, env.path(QStringLiteral("none.bin")), true));
        QVERIFY(form->Doc().FileOpened());
        QCOMPARE(Widget<StringGrid>(*form, "SG_Sat")->RowCount(), 1);
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_Sat"), 0, 1), QStringLiteral("Show ALL Info"));
        for (StringGrid* g : {Widget<StringGrid>(*form, "SG_TP"), Widget<StringGrid>(*form, "SG_TV"),
                              Widget<StringGrid>(*form, "SG_Radio")})
            QCOMPARE(g->RowCount(), 2);
        // With no program at all the filter leaves only row 0.
        Widget<QAction>(*form, "Show_Act_Sat")->trigger();
        QVERIFY(form->View().activeOnly);
        QCOMPARE(Widget<StringGrid>(*form, "SG_Sat")->RowCount(), 1);
        QCOMPARE(Widget<StringGrid>(*form, "SG_TP")->RowCount(), 2);
    }

    void activeSatelliteFilter() {
        Env env;
        auto db = ThreeSats();
        auto form = MakeForm(env);
        OpenThroughMenu(*form, WriteDataFile(*db, env.path(QStringLiteral("three.bin")), true));
        ClickRow(Widget<StringGrid>(*form, "SG_TP"), 1);
        QVERIFY(form->View().tpSelected);
        Widget<QAction>(*form, "Show_Act_Sat")->trigger();
        QVERIFY(form->View().activeOnly);
        QCOMPARE(Widget<QAction>(*form, "Show_Act_Sat")->text(), QStringLiteral("Show all satellites"));
        QVERIFY(!form->View().tpSelected && !form->View().satSelected);
        QCOMPARE(Widget<StringGrid>(*form, "SG_Sat")->RowCount(), 3);
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_Sat"), 1, 1), QStringLiteral("Alpha"));
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_Sat"), 2, 1), QStringLiteral("Gamma"));
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_Sat"), 2, 0), QStringLiteral("NO.2: "));
        QCOMPARE(Widget<StringGrid>(*form, "SG_Sat")->RowOfSlot(1), -1); // satellite 2 has no program
        // Every transponder of an active satellite, with or without programs.
        QCOMPARE(Widget<StringGrid>(*form, "SG_TP")->RowCount(), 1 + 3);
        QCOMPARE(Widget<StringGrid>(*form, "SG_TV")->RowCount(), 3); // programs are not filtered
        QCOMPARE(Widget<StringGrid>(*form, "SG_Sat")->Row(), 0);
        // The filter survives a click on "Show ALL Info" and a satellite click.
        ClickRow(Widget<StringGrid>(*form, "SG_Sat"), 2);
        QCOMPARE(Widget<StringGrid>(*form, "SG_Sat")->SlotOfRow((1) + 1), 2);
        ClickRow(Widget<StringGrid>(*form, "SG_Sat"), 0);
        QCOMPARE(Widget<StringGrid>(*form, "SG_Sat")->RowCount(), 3);
        Widget<QAction>(*form, "Show_Act_Sat")->trigger();
        QVERIFY(!form->View().activeOnly);
        QCOMPARE(Widget<QAction>(*form, "Show_Act_Sat")->text(), QStringLiteral("Show active satellites"));
        QCOMPARE(Widget<StringGrid>(*form, "SG_Sat")->RowCount(), 4);
        QCOMPARE(Widget<StringGrid>(*form, "SG_TP")->RowCount(), 5);
    }

    void favouriteListKeepsItsItemsWhileAProgramIsSelected() {
        Env env;
        auto form = MakeForm(env);
        OpenThroughMenu(*form, CopyBundledSample(env));
        ClickRow(Widget<StringGrid>(*form, "SG_TV"), 1);
        QVERIFY(form->View().tvSelected);
        QVERIFY(
            form->Doc().Edit("Rename", [](dbase::Database& db) { return dbase::SetFavName(db, 0, "Renamed"); }).ok());
        form->FillTpGrid();
        QCOMPARE(Widget<QListWidget>(*form, "LB_FAV")->item(0)->text(), QStringLiteral("FAV.01 :  Movie"));
        // With only the active satellites shown the list is rebuilt, a
        // program picked or not.
        Widget<QAction>(*form, "Show_Act_Sat")->trigger();
        ClickRow(Widget<StringGrid>(*form, "SG_TV"), 1);
        QVERIFY(form->View().activeOnly && form->View().tvSelected);
        form->FillTpGrid();
        QCOMPARE(Widget<QListWidget>(*form, "LB_FAV")->item(0)->text(), QStringLiteral("FAV.01 :  Renamed"));
    }

    void cellColours() {
        Env env;
        auto form = MakeForm(env);
        OpenThroughMenu(*form, CopyBundledSample(env));
        const QColor fixed(221, 221, 221), selBack(132, 193, 255), ownerBack(225, 255, 255);
        // Fixed cells.
        QCOMPARE(form->SG_SatDrawCell(0, 0, true).background, fixed);
        QVERIFY(form->SG_SatDrawCell(2, 0, false).fixed);
        QCOMPARE(form->SG_TPDrawCell(0, 3, false).background, fixed);
        QCOMPARE(form->SG_TVDrawCell(5, 0, false).background, fixed);
        QCOMPARE(form->SG_TVDrawCell(5, 1, false).textDx, 2);
        QCOMPARE(form->SG_TPDrawCell(5, 1, false).textDx, 1);
        // The satellite grid shows its selection with or without focus.
        CellStyle s = form->SG_SatDrawCell(0, 1, true);
        QCOMPARE(s.background, selBack);
        QCOMPARE(s.text, QColor(255, 0, 0));
        QCOMPARE(form->SG_SatDrawCell(1, 1, false).background, QColor(Qt::white));

        // The transponder grid only while it has the focus.
        form->activateWindow();
        Widget<StringGrid>(*form, "SG_Sat")->setFocus();
        QCOMPARE(form->SG_TPDrawCell(1, 1, true).background, QColor(Qt::white));
        Widget<StringGrid>(*form, "SG_TP")->setFocus();
        QTRY_VERIFY(Widget<StringGrid>(*form, "SG_TP")->hasFocus());
        QCOMPARE(form->SG_TPDrawCell(1, 1, true).background, selBack);
        // Program grids: only column 1, only while focused.
        Widget<StringGrid>(*form, "SG_TV")->setFocus();
        QTRY_VERIFY(Widget<StringGrid>(*form, "SG_TV")->hasFocus());
        QCOMPARE(form->SG_TVDrawCell(1, 1, true).background, selBack);
        QCOMPARE(form->SG_TVDrawCell(1, 2, true).background, QColor(Qt::white));

        // Selecting a TV program after a transponder: its transponder pale
        // cyan, every other transponder cell white, even the selected row.
        ClickRow(Widget<StringGrid>(*form, "SG_TP"), 3);
        ClickRow(Widget<StringGrid>(*form, "SG_TV"), 1);
        QVERIFY(form->View().tvSelected && form->View().tpSelected);
        const int prog = Widget<StringGrid>(*form, "SG_TV")->SlotOfRow((0) + 1);
        Widget<StringGrid>(*form, "SG_TP")->SetRow(5); // the selected row moves away from the owner
        const int ownerTp = static_cast<int>(form->Db().Prog.data[prog].TpIndex);
        const int ownerSat = form->Db().Prog.data[prog].SatIndex;
        Widget<StringGrid>(*form, "SG_TP")->setFocus();
        for (int r = 1; r < Widget<StringGrid>(*form, "SG_TP")->RowCount(); ++r) {
            const CellStyle c = form->SG_TPDrawCell(r, 2, r == Widget<StringGrid>(*form, "SG_TP")->Row());
            if (r == 3) QCOMPARE(Widget<StringGrid>(*form, "SG_TP")->SlotOfRow(r), ownerTp);
            if (Widget<StringGrid>(*form, "SG_TP")->SlotOfRow(r) == ownerTp) {
                QCOMPARE(c.background, ownerBack);
                QCOMPARE(c.text, QColor(0, 0, 128));
            } else {
                QCOMPARE(c.background, QColor(Qt::white));
            }
        }
        for (int r = 1; r < Widget<StringGrid>(*form, "SG_Sat")->RowCount(); ++r) {
            const CellStyle c = form->SG_SatDrawCell(r, 1, false);
            QCOMPARE(c.background == ownerBack, Widget<StringGrid>(*form, "SG_Sat")->SlotOfRow(r) == ownerSat);
        }
        QCOMPARE(form->SG_SatDrawCell(1 + ownerSat, 0, false).background, fixed);
    }

    void columnZeroStaysInPlaceWhenTheGridScrollsSideways() {
        Env env;
        auto form = MakeForm(env);
        OpenThroughMenu(*form, CopyBundledSample(env));
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        for (StringGrid* g : {Widget<StringGrid>(*form, "SG_Sat"), Widget<StringGrid>(*form, "SG_TP"),
                              Widget<StringGrid>(*form, "SG_TV"), Widget<StringGrid>(*form, "SG_Radio")}) {
            auto* f = g->findChild<QTableView*>(QStringLiteral("FrozenColumn"));
            QVERIFY(f && f->isVisible());
            QCOMPARE(f->width(), g->columnWidth(0));
            QCOMPARE(f->horizontalHeader()->isVisible(), g->horizontalHeader()->isVisible());
        }

        // A window too low for every program, and a name column wider than
        // the grid: the grid scrolls both ways.
        form->setWindowState(Qt::WindowNoState);
        form->resize(1280, 450);
        StringGrid* grid = Widget<StringGrid>(*form, "SG_TV");
        grid->setColumnWidth(1, grid->viewport()->width());
        QScrollBar* sideways = grid->horizontalScrollBar();
        QTRY_VERIFY(sideways->maximum() > 60);
        QTRY_VERIFY(grid->verticalScrollBar()->maximum() > 5);
        sideways->setValue(sideways->maximum());
        grid->ScrollLines(3);
        auto* fixed = grid->findChild<QTableView*>(QStringLiteral("FrozenColumn"));
        QCOMPARE(fixed->geometry().topLeft(), grid->horizontalHeader()->geometry().topLeft());
        QCOMPARE(fixed->verticalScrollBar()->value(), grid->verticalScrollBar()->value());

        // The numbers are drawn at the left edge, grey, level with their rows.
        const int row = 1 + grid->rowAt(30);
        const QModelIndex number = grid->model()->index(row - 1, 0);
        QCOMPARE(fixed->visualRect(number).top(), grid->visualRect(number).top());
        QCOMPARE(fixed->visualRect(number).height(), grid->visualRect(number).height());
        QCOMPARE(fixed->rowHeight(row - 1), 20);
        QCOMPARE(fixed->model()->headerData(0, Qt::Horizontal).toString(), kStars);
        const QImage image = grid->grab().toImage();
        const QPoint cell = grid->viewport()->geometry().topLeft() + fixed->visualRect(number).center();
        QCOMPARE(image.pixelColor(grid->viewport()->x() + 56, cell.y()), QColor(221, 221, 221));
        int ink = 0;
        for (int x = grid->viewport()->x(); x < grid->viewport()->x() + 56; ++x)
            ink += image.pixelColor(x, cell.y() - 2).lightness() < 100;
        QVERIFY(ink > 0); // "NO.n: "

        // A click on a number is a click on its row; the grid keeps its place.
        QTest::mouseClick(fixed->viewport(), Qt::LeftButton, Qt::NoModifier, fixed->visualRect(number).center());
        QCOMPARE(grid->Row(), row);
        QVERIFY(grid->hasFocus());
        QVERIFY(form->View().tvSelected);
        QVERIFY(grid->selectionModel()->isRowSelected(row - 1, {}));
        QCOMPARE(Widget<QListWidget>(*form, "LB_Info")->item(4)->text(), CellText(grid, row, 1));
        QCOMPARE(sideways->value(), sideways->maximum());

        // A drag started on the numbers moves the program down one row.
        const QString name = CellText(grid, row, 1);
        const QPoint next = fixed->visualRect(number.siblingAtRow(row)).center();
        QTest::mousePress(fixed->viewport(), Qt::LeftButton, Qt::NoModifier, fixed->visualRect(number).center());
        QTest::mouseMove(fixed->viewport(), next);
        QTest::mouseRelease(fixed->viewport(), Qt::LeftButton, Qt::NoModifier, next);
        QCOMPARE(CellText(grid, row + 1, 1), name);

        // The wheel over the numbers scrolls the grid one line a notch.
        const int top = grid->verticalScrollBar()->value();
        const QPointF at(10, 30);
        QWheelEvent wheel(at, fixed->viewport()->mapToGlobal(at.toPoint()), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(fixed->viewport(), &wheel);
        QCOMPARE(grid->verticalScrollBar()->value(), top + 1);
        QCOMPARE(fixed->verticalScrollBar()->value(), top + 1);

        // Widening the number column on its header widens the grid's column 0.
        fixed->horizontalHeader()->resizeSection(0, 70);
        QCOMPARE(grid->columnWidth(0), 70);
        QCOMPARE(fixed->width(), 70);
    }

    void wheelScrollsOneLinePerNotchWithoutMovingTheSelection() {
        Env env;
        auto form = MakeForm(env);
        OpenThroughMenu(*form, CopyBundledSample(env));
        StringGrid* grid = Widget<StringGrid>(*form, "SG_TP");
        ClickRow(grid, 2);
        const int row = grid->Row();
        QScrollBar* bar = grid->verticalScrollBar();
        QVERIFY(bar->maximum() > 3);
        const int before = bar->value();
        auto wheel = [&](int delta) {
            const QPointF pos(20, 20);
            QWheelEvent event(pos, grid->viewport()->mapToGlobal(pos.toPoint()), QPoint(), QPoint(0, delta),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(grid->viewport(), &event);
            return event.isAccepted();
        };
        QVERIFY(wheel(-120));
        QCOMPARE(bar->value(), before + 1);
        wheel(-240);
        QCOMPARE(bar->value(), before + 3);
        wheel(120);
        QCOMPARE(bar->value(), before + 2);
        QCOMPARE(grid->Row(), row);
    }

    void keyboardMovesTheSelectionLikeAClick() {
        Env env;
        auto form = MakeForm(env);
        OpenThroughMenu(*form, CopyBundledSample(env));
        form->activateWindow();
        Widget<StringGrid>(*form, "SG_Sat")->setFocus();
        QTest::keyClick(Widget<StringGrid>(*form, "SG_Sat"), Qt::Key_Down);
        QCOMPARE(Widget<StringGrid>(*form, "SG_Sat")->Row(), 1);
        QVERIFY(form->View().satSelected);
        QCOMPARE(ListTexts(Widget<QListWidget>(*form, "LB_Info")), QStringList{"Astra 19.2E"});
    }

    void refillKeepsTheCurrentRowWhereItStillExists() {
        Env env;
        auto form = MakeForm(env);
        OpenThroughMenu(*form, CopyBundledSample(env));
        ClickRow(Widget<StringGrid>(*form, "SG_TP"), 20);
        ClickRow(Widget<StringGrid>(*form, "SG_Sat"), 4); // Thor has 4 transponders
        QCOMPARE(Widget<StringGrid>(*form, "SG_TP")->RowCount(), 5);
        QCOMPARE(Widget<StringGrid>(*form, "SG_TP")->Row(), 4);
    }
};

QTEST_MAIN(TestListViews)
#include "test_listviews.moc"
