// The sort commands of the TV and radio popups: each reorders one kind of
// programs, marks the data changed and refreshes the program grids for the
// satellite shown.
#include "GuiTestSupport.h"
#include "SampleData.h"
#include "base/Bits.h"
#include "format/Image.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QTest>

using namespace guitest;

namespace {

// Alpha has transponders a1 and a2, Beta b1. Program slots:
//   0 TV Delta (a2, group 2)        4 TV Alpha (a2, groups 1 and 2)
//   1 radio Wave (a1)               5 radio Echo (b1)
//   2 TV Bravo (a1, group 1, 2 tracks)  6 radio Air (a1, group 1)
//   3 TV Charlie (b1)               7 radio Lost (names a transponder not in use)
std::unique_ptr<dbase::Database> SortDb() {
    auto db = sample::EmptyDatabase();
    const int alpha = sample::AddSat(*db, {"Alpha", 192});
    const int beta = sample::AddSat(*db, {"Beta", 130});
    const int a1 = sample::AddTp(*db, alpha, 11000, false, 27500, 3);
    const int a2 = sample::AddTp(*db, alpha, 11100, false, 27500, 3);
    const int b1 = sample::AddTp(*db, beta, 12000, true, 27500, 3);
    auto add = [&](int tp, const char* name, bool radio, uint16_t fav) {
        sample::ProgSpec p;
        p.name = name;
        p.radio = radio;
        p.fav = fav;
        return sample::AddProg(*db, tp, p);
    };
    add(a2, "Delta", false, 0x2);
    add(a1, "Wave", true, 0);
    const int bravo = add(a1, "Bravo", false, 0x1);
    sample::AddAudio(*db, bravo, 0x301, "eng");
    sample::AddAudio(*db, bravo, 0x302, "fra");
    add(b1, "Charlie", false, 0);
    add(a2, "Alpha", false, 0x3);
    add(b1, "Echo", true, 0);
    add(a1, "Air", true, 0x1);
    const int lost = add(b1, "Lost", true, 0);
    dbase::PutU16(db->Prog.rec[lost], 4, 2000);
    db->Prog.data[lost] = dbase::DecodeProg(db->Prog.rec[lost], db->Tp);
    return db;
}

std::unique_ptr<TFormMain> OpenSortDb(const Env& env) {
    auto form = MakeForm(env);
    OpenThroughMenu(*form, WriteDataFile(*SortDb(), env.path(QStringLiteral("sort.bin")), true));
    return form;
}

int SlotNamed(const dbase::Database& db, const std::string& name) {
    for (int p = 0; p < db.ProgCount; ++p)
        if (db.Prog.data[p].Name == name) return p;
    return -1;
}

// Names of the programs a list of slots holds, in its order.
QStringList ListedNames(const dbase::Database& db, const std::vector<int>& list) {
    QStringList names;
    for (int slot : list) names << QString::fromStdString(db.Prog.data[slot].Name);
    return names;
}

} // namespace

class TestSorting : public QObject {
    Q_OBJECT
private slots:
    void byNameForTheSatelliteShown() {
        Env env;
        auto form = OpenSortDb(env);
        const dbase::Database& db = form->Db();
        dbase::Document& doc = form->Doc();
        ClickRow(Widget<StringGrid>(*form, "SG_Sat"), 1);
        QCOMPARE(ColumnTexts(Widget<StringGrid>(*form, "SG_TV"), 1), (QStringList{"Delta", "Bravo", "Alpha"}));
        QVERIFY(Widget<QAction>(*form, "SorebyAZ1")->isEnabled());
        ClickRow(Widget<StringGrid>(*form, "SG_TV"), 1); // Delta
        const QStringList deltaInfo = ListTexts(Widget<QListWidget>(*form, "LB_Info"));
        Widget<QAction>(*form, "SorebyAZ1")->trigger();
        QVERIFY(doc.DataChanged());
        // The info panel follows the current row, which now shows Alpha.
        const QStringList shown = ListTexts(Widget<QListWidget>(*form, "LB_Info"));
        form->ShowInfo(-1, -1, Widget<StringGrid>(*form, "SG_TV")->SlotOfRow(1));
        QCOMPARE(shown, ListTexts(Widget<QListWidget>(*form, "LB_Info")));
        QVERIFY(shown != deltaInfo);
        // Still Alpha's programs, in their new slot order.
        QCOMPARE(Widget<StringGrid>(*form, "SG_Sat")->Row(), 1);
        QCOMPARE(ColumnTexts(Widget<StringGrid>(*form, "SG_TV"), 1), (QStringList{"Alpha", "Bravo", "Delta"}));
        // The radio programs keep their slots (Lost's free transponder slot
        // still names Alpha).
        QCOMPARE(ColumnTexts(Widget<StringGrid>(*form, "SG_Radio"), 1), (QStringList{"Wave", "Air", "Lost"}));
        QCOMPARE(SlotNamed(db, "Alpha"), 0);
        QCOMPARE(SlotNamed(db, "Charlie"), 3);
        QCOMPARE(SlotNamed(db, "Wave"), 1);
        // Bravo's tracks went with it.
        const int bravo = SlotNamed(db, "Bravo");
        QCOMPARE(db.Audio.data[db.ExtraAudioSlot(bravo, 1)].Pid, std::to_string(0x301));
        QCOMPARE(db.Audio.data[db.ExtraAudioSlot(bravo, 2)].Pid, std::to_string(0x302));
    }

    void byFavouriteGroupAndByTransponderForAllSatellites() {
        Env env;
        auto form = OpenSortDb(env);
        const dbase::Database& db = form->Db();
        // Group 1 in slot order, then group 2 without those listed, then the rest.
        Widget<QAction>(*form, "SorebyFav1")->trigger();
        QCOMPARE(ColumnTexts(Widget<StringGrid>(*form, "SG_TV"), 1),
                 (QStringList{"Bravo", "Alpha", "Delta", "Charlie"}));

        Widget<QAction>(*form, "SorebyTp2")->trigger();
        // Every radio program is kept; the one whose transponder is not in
        // use comes last.
        QCOMPARE(ColumnTexts(Widget<StringGrid>(*form, "SG_Radio"), 1), (QStringList{"Wave", "Air", "Echo", "Lost"}));
        QCOMPARE(ColumnTexts(Widget<StringGrid>(*form, "SG_TV"), 1),
                 (QStringList{"Bravo", "Alpha", "Delta", "Charlie"}));
        QCOMPARE(db.ProgCount, 8);
    }

    void everyCommandRefreshesTheGrids() {
        Env env;
        auto form = OpenSortDb(env);
        const dbase::Database& db = form->Db();
        dbase::Document& doc = form->Doc();
        for (QAction* action : {Widget<QAction>(*form, "SorebyAZ1"), Widget<QAction>(*form, "SorebyTp1"),
                                Widget<QAction>(*form, "SorebyFav1"), Widget<QAction>(*form, "SorebyAZ2"),
                                Widget<QAction>(*form, "SorebyTp2"), Widget<QAction>(*form, "SorebyFav2")}) {
            doc.SetDataChanged(false);
            action->trigger();
            QVERIFY2(doc.DataChanged(), qPrintable(action->objectName()));
            // The grids show the programs in their new slots.
            const dbase::ProgLists all = dbase::AllProgs(db);
            QCOMPARE(ColumnTexts(Widget<StringGrid>(*form, "SG_TV"), 1), ListedNames(db, all.tv));
            QCOMPARE(ColumnTexts(Widget<StringGrid>(*form, "SG_Radio"), 1), ListedNames(db, all.radio));
            QCOMPARE(all.tv.size() + all.radio.size(), size_t(8));
        }
        // Offered to nobody: both submenus stay hidden.
        QVERIFY(!Widget<QMenu>(*form, "Sore1")->menuAction()->isVisible());
        QVERIFY(!Widget<QMenu>(*form, "Sore2")->menuAction()->isVisible());
    }
};

QTEST_MAIN(TestSorting)
#include "test_sorting.moc"
