// Moving satellites, transponders and programs by dragging them with the
// mouse: one exchange per row crossed, the guards of each grid, row numbers
// that stay in place, and links that follow the moved entries.
#include "GuiTestSupport.h"
#include "SampleData.h"
#include "format/Image.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QToolButton>

#include <initializer_list>

using namespace guitest;

namespace {

// Five satellites, each with a transponder; Alpha has three. On Alpha's
// first transponder: TV programs P1..P5 (P2 with two extra audio tracks)
// and radio programs R1..R4; on its second transponder TV programs Q1, Q2.
std::unique_ptr<dbase::Database> DragDb() {
    auto db = sample::EmptyDatabase();
    const char* sats[] = {"Alpha", "Beta", "Gamma", "Delta", "Epsilon"};
    int firstTp[5];
    for (int s = 0; s < 5; ++s) {
        sample::AddSat(*db, {sats[s], 100 + 10 * s});
        firstTp[s] = sample::AddTp(*db, s, 10000 + 100 * s, false, 27500, 3);
    }
    const int a2 = sample::AddTp(*db, 0, 11100, true, 22000, 2);
    sample::AddTp(*db, 0, 11200, false, 30000, 4);
    auto add = [&](int tp, const std::string& name, bool radio) {
        sample::ProgSpec p;
        p.name = name;
        p.radio = radio;
        return sample::AddProg(*db, tp, p);
    };
    for (int i = 1; i <= 5; ++i) {
        const int p = add(firstTp[0], "P" + std::to_string(i), false);
        if (i == 2) {
            sample::AddAudio(*db, p, 0x222, "eng");
            sample::AddAudio(*db, p, 0x223, "fra");
        }
    }
    for (int i = 1; i <= 4; ++i) add(firstTp[0], "R" + std::to_string(i), true);
    add(a2, "Q1", false);
    add(a2, "Q2", false);
    return db;
}

std::unique_ptr<TFormMain> OpenDragDb(const Env& env) {
    auto form = MakeForm(env);
    OpenThroughMenu(*form, WriteDataFile(*DragDb(), env.path(QStringLiteral("drag.bin")), true));
    // Steps down need the grid to have the keyboard focus.
    form->activateWindow();
    if (!QTest::qWaitForWindowActive(form.get())) qWarning("main window not active");
    return form;
}

QStringList Names(const StringGrid* grid) { return ColumnTexts(grid, 1); }

QStringList Numbers(const StringGrid* grid) { return ColumnTexts(grid, 0); }

int SlotNamed(const dbase::Database& db, const std::string& name) {
    for (int p = 0; p < db.ProgCount; ++p)
        if (db.Prog.data[p].Name == name) return p;
    return -1;
}

int SatNamed(const dbase::Database& db, const std::string& name) {
    for (int s = 0; s < db.SatCount; ++s)
        if (db.Sat.data[s].Name == name) return s;
    return -1;
}

} // namespace

class TestDragMoves : public QObject {
    Q_OBJECT
private slots:
    void satelliteDraggedDownThreeRows() {
        Env env;
        auto form = OpenDragDb(env);
        const dbase::Database& db = form->Db();
        dbase::Document& doc = form->Doc();
        QVERIFY(!doc.DataChanged());
        DragAlong(Widget<StringGrid>(*form, "SG_Sat"), 2, {3, 4, 5});
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_Sat")),
                 (QStringList{"Alpha", "Gamma", "Delta", "Epsilon", "Beta"}));
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_Sat"), 0, 1), QStringLiteral("Show ALL Info"));
        QCOMPARE(Numbers(Widget<StringGrid>(*form, "SG_Sat")),
                 (QStringList{"NO.1: ", "NO.2: ", "NO.3: ", "NO.4: ", "NO.5: "}));
        QCOMPARE(form->View().dragRows.Sat, 5);
        QVERIFY(doc.DataChanged());
        // The rows keep their slots; the satellite's transponder went with it.
        for (int i = 0; i < 5; ++i) QCOMPARE(Widget<StringGrid>(*form, "SG_Sat")->SlotOfRow(i + 1), i);
        const int beta = SatNamed(db, "Beta");
        QCOMPARE(beta, 4);
        const std::vector<int> satTps = dbase::SatTps(db, beta);
        QCOMPARE(satTps.size(), size_t(1));
        QCOMPARE(db.Tp.data[satTps[0]].Freq, std::string("10100"));
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_TP")), QStringList{"10100"});
    }

    void satelliteNeverEntersTheFirstRow() {
        Env env;
        auto form = OpenDragDb(env);
        DragAlong(Widget<StringGrid>(*form, "SG_Sat"), 3, {2, 1});
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_Sat")),
                 (QStringList{"Alpha", "Gamma", "Beta", "Delta", "Epsilon"}));
        QCOMPARE(form->View().dragRows.Sat, 2);
        // Out of the first row it may go; a fast mouse still moves it once
        // per row crossed.
        DragAlong(Widget<StringGrid>(*form, "SG_Sat"), 1, {4});
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_Sat")),
                 (QStringList{"Gamma", "Beta", "Delta", "Alpha", "Epsilon"}));
        QCOMPARE(form->View().dragRows.Sat, 4);
    }

    void transpondersMoveOnlyWithOneSatelliteShown() {
        Env env;
        auto form = OpenDragDb(env);
        const dbase::Database& db = form->Db();
        dbase::Document& doc = form->Doc();
        // "Show ALL Info": every transponder is listed and none moves.
        const QStringList all = Names(Widget<StringGrid>(*form, "SG_TP"));
        DragAlong(Widget<StringGrid>(*form, "SG_TP"), 1, {2});
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_TP")), all);
        QVERIFY(!doc.DataChanged());

        ClickRow(Widget<StringGrid>(*form, "SG_Sat"), 1);
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_TP")), (QStringList{"10000", "11100", "11200"}));
        ClickRow(Widget<StringGrid>(*form, "SG_TP"), 1);
        const QStringList programs = Names(Widget<StringGrid>(*form, "SG_TV"));
        QCOMPARE(programs, (QStringList{"P1", "P2", "P3", "P4", "P5"}));
        const int firstSlot = Widget<StringGrid>(*form, "SG_TP")->SlotOfRow(1);
        const int tpNo = db.Tp.data[firstSlot].TpNo;

        DragAlong(Widget<StringGrid>(*form, "SG_TP"), 1, {2});
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_TP")), (QStringList{"11100", "10000", "11200"}));
        QCOMPARE(ColumnTexts(Widget<StringGrid>(*form, "SG_TP"), 2), (QStringList{"V", "H", "H"}));
        QCOMPARE(Numbers(Widget<StringGrid>(*form, "SG_TP")), (QStringList{"NO.1: ", "NO.2: ", "NO.3: "}));
        QVERIFY(doc.DataChanged());
        // The ordinal within the satellite stays with the slot.
        QCOMPARE(db.Tp.data[firstSlot].TpNo, tpNo);
        // The moved transponder keeps its programs, and its neighbour its own.
        ClickRow(Widget<StringGrid>(*form, "SG_TP"), 2);
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_TV")), programs);
        ClickRow(Widget<StringGrid>(*form, "SG_TP"), 1);
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_TV")), (QStringList{"Q1", "Q2"}));
    }

    void programsStayOutOfTheFirstAndLastRows() {
        Env env;
        auto form = OpenDragDb(env);
        const dbase::Database& db = form->Db();
        dbase::Document& doc = form->Doc();
        ClickRow(Widget<StringGrid>(*form, "SG_Sat"), 1);
        ClickRow(Widget<StringGrid>(*form, "SG_TP"), 1);
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_TV")), (QStringList{"P1", "P2", "P3", "P4", "P5"}));

        DragAlong(Widget<StringGrid>(*form, "SG_TV"), 2, {3, 4, 5});
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_TV")), (QStringList{"P1", "P3", "P4", "P2", "P5"}));
        QCOMPARE(form->View().dragRows.Tv, 4);
        DragAlong(Widget<StringGrid>(*form, "SG_TV"), 4, {3, 2, 1});
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_TV")), (QStringList{"P1", "P2", "P3", "P4", "P5"}));
        QCOMPARE(form->View().dragRows.Tv, 2);
        // Out of the first row into the second is allowed.
        DragAlong(Widget<StringGrid>(*form, "SG_TV"), 1, {2});
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_TV")), (QStringList{"P2", "P1", "P3", "P4", "P5"}));
        QCOMPARE(Numbers(Widget<StringGrid>(*form, "SG_TV")),
                 (QStringList{"NO.1: ", "NO.2: ", "NO.3: ", "NO.4: ", "NO.5: "}));
        QVERIFY(doc.DataChanged());

        // P2's tracks followed it into its new slot.
        const int p2 = SlotNamed(db, "P2");
        QCOMPARE(p2, Widget<StringGrid>(*form, "SG_TV")->SlotOfRow(1));
        const int track = db.ExtraAudioSlot(p2, 1);
        QVERIFY(track >= 0);
        QCOMPARE(db.Audio.data[track].Pid, std::to_string(0x222));
        QCOMPARE(db.Audio.data[db.ExtraAudioSlot(p2, 2)].Pid, std::to_string(0x223));
        QCOMPARE(db.ExtraAudioSlot(SlotNamed(db, "P1"), 1), -1);

        // Two programs: each row is the first or the last, so nothing moves.
        ClickRow(Widget<StringGrid>(*form, "SG_TP"), 2);
        DragAlong(Widget<StringGrid>(*form, "SG_TV"), 1, {2});
        DragAlong(Widget<StringGrid>(*form, "SG_TV"), 2, {1});
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_TV")), (QStringList{"Q1", "Q2"}));
    }

    void radioProgramsMoveLikeTvPrograms() {
        Env env;
        auto form = OpenDragDb(env);
        ClickRow(Widget<StringGrid>(*form, "SG_Sat"), 1);
        ClickRow(Widget<StringGrid>(*form, "SG_TP"), 1);
        DragAlong(Widget<StringGrid>(*form, "SG_Radio"), 2, {3});
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_Radio")), (QStringList{"R1", "R3", "R2", "R4"}));
        QCOMPARE(form->View().dragRows.Radio, 3);
        // Radio and TV slots are not mixed: the TV programs kept theirs.
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_TV")), (QStringList{"P1", "P2", "P3", "P4", "P5"}));
        DragAlong(Widget<StringGrid>(*form, "SG_Radio"), 3, {4});
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_Radio")), (QStringList{"R1", "R3", "R2", "R4"}));
    }

    void nothingMovesInAMarkingMode() {
        Env env;
        auto form = OpenDragDb(env);
        ClickRow(Widget<StringGrid>(*form, "SG_Sat"), 1);
        ClickRow(Widget<StringGrid>(*form, "SG_TP"), 1);
        QTest::mouseClick(Widget<QToolButton>(*form, "SB_Lock"), Qt::LeftButton);
        const int before = form->View().dragRows.Tv;
        DragAlong(Widget<StringGrid>(*form, "SG_TV"), 2, {3, 4});
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_TV")), (QStringList{"P1", "P2", "P3", "P4", "P5"}));
        QCOMPARE(form->View().dragRows.Tv, before);
        DragAlong(Widget<StringGrid>(*form, "SG_Radio"), 2, {3});
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_Radio")), (QStringList{"R1", "R2", "R3", "R4"}));
        // Back in browse mode the same drag moves.
        QTest::mouseClick(Widget<QToolButton>(*form, "SB_Lock"), Qt::LeftButton);
        DragAlong(Widget<StringGrid>(*form, "SG_TV"), 2, {3});
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_TV")), (QStringList{"P1", "P3", "P2", "P4", "P5"}));
    }

    void onlyADragWithTheLeftButtonMoves() {
        Env env;
        auto form = OpenDragDb(env);
        dbase::Document& doc = form->Doc();
        ClickRow(Widget<StringGrid>(*form, "SG_Sat"), 1);
        ClickRow(Widget<StringGrid>(*form, "SG_TP"), 1);
        ClickRow(Widget<StringGrid>(*form, "SG_TV"), 2);
        // The keyboard moves the selection next to the remembered row; the
        // mouse then passing over the grid without a button moves nothing,
        // even where the moves reach the grid (mouse tracking on).
        Widget<StringGrid>(*form, "SG_TV")->viewport()->setMouseTracking(true);
        QTest::keyClick(Widget<StringGrid>(*form, "SG_TV"), Qt::Key_Down);
        QCOMPARE(Widget<StringGrid>(*form, "SG_TV")->Row(), 3);
        QMouseEvent hover(QEvent::MouseMove, RowMiddle(Widget<StringGrid>(*form, "SG_TV"), 3),
                          Widget<StringGrid>(*form, "SG_TV")
                              ->viewport()
                              ->mapToGlobal(RowMiddle(Widget<StringGrid>(*form, "SG_TV"), 3)),
                          Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(Widget<StringGrid>(*form, "SG_TV")->viewport(), &hover);
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_TV")), (QStringList{"P1", "P2", "P3", "P4", "P5"}));
        // A right-button drag moves nothing either.
        QTest::mousePress(Widget<StringGrid>(*form, "SG_TV")->viewport(), Qt::RightButton, Qt::NoModifier,
                          RowMiddle(Widget<StringGrid>(*form, "SG_TV"), 2));
        QTest::mouseMove(Widget<StringGrid>(*form, "SG_TV")->viewport(),
                         RowMiddle(Widget<StringGrid>(*form, "SG_TV"), 3));
        QTest::mouseRelease(Widget<StringGrid>(*form, "SG_TV")->viewport(), Qt::RightButton, Qt::NoModifier,
                            RowMiddle(Widget<StringGrid>(*form, "SG_TV"), 3));
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_TV")), (QStringList{"P1", "P2", "P3", "P4", "P5"}));
        QVERIFY(!doc.DataChanged());
    }
};

QTEST_MAIN(TestDragMoves)
#include "test_dragmoves.moc"
