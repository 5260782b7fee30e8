// The grids' models under QAbstractItemModelTester, alone and while the
// window fills, refills, filters, sorts and moves their rows through the
// user's steps: every answer and signal stays what the views rely on, and
// the rows name the slots the core's queries list.
#include "GuiTestSupport.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QtTest>

#include <memory>

using namespace guitest;

namespace {

using Tester = QAbstractItemModelTester;

std::unique_ptr<Tester> Check(QAbstractItemModel* model) {
    return std::make_unique<Tester>(model, Tester::FailureReportingMode::QtTest);
}

StringGrid* Grid(const TFormMain& form, const char* name) {
    auto* grid = form.findChild<StringGrid*>(QLatin1String(name));
    if (!grid) qFatal("no grid %s", name);
    return grid;
}

// A tester on each grid of the window, for as long as the object lives.
struct WindowTesters {
    explicit WindowTesters(const TFormMain& form) {
        for (const char* name : {"SG_Sat", "SG_TP", "SG_TV", "SG_Radio"})
            testers.push_back(Check(Grid(form, name)->gridModel()));
    }
    std::vector<std::unique_ptr<Tester>> testers;
};

void Key(TFormMain& form, QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    ActivateForm(form);
    QTest::keyClick(target, key, modifiers);
}

// Triggers item `name` of `popup` as a user would after opening it.
void Choose(TFormMain& form, QMenu* popup, const QString& name) {
    emit popup->aboutToShow();
    auto* item = form.findChild<QAction*>(name);
    QVERIFY2(item && item->isEnabled(), qPrintable(name));
    item->trigger();
    emit popup->aboutToHide();
}

// The model's rows agree with its list: the bound rows show the kept slots
// in list order, the others are empty and unbound, and the row count is
// what SetRows asked for.
void ExpectRowsMatchList(const GridModel& model, int minRows) {
    const int lead = model.HasHeaderRow() ? 0 : 1;
    const int bound = model.BoundRows();
    QCOMPARE(model.rowCount(), lead + std::max(bound, minRows));
    for (int r = lead; r < model.rowCount(); ++r) {
        const int slot = model.SlotAt(r);
        if (r - lead < bound) {
            QCOMPARE(slot, model.Slots()[static_cast<size_t>(r - lead)]);
        } else {
            QCOMPARE(slot, -1);
            QCOMPARE(model.data(model.index(r, 1), Qt::DisplayRole).toString(), QString());
        }
    }
    QCOMPARE(model.SlotAt(-1), -1);
    QCOMPARE(model.SlotAt(model.rowCount()), -1);
}

} // namespace

class TestGridModel : public QObject {
    Q_OBJECT
private slots:
    void aModelAloneThroughEveryKindOfChange() {
        for (const bool header : {true, false}) {
            const QStringList headers = header ? QStringList{"", "Name", "Pid"} : QStringList{};
            GridModel model(headers, 3, [](int slot, int col) { return QString::number(slot * 10 + col); });
            auto tester = Check(&model);
            QCOMPARE(model.rowCount(), header ? 1 : 2);
            model.SetLeadRow({QStringLiteral("lead"), QStringLiteral("all")});
            model.SetRows({7, 3, 9, 4}, 1);
            ExpectRowsMatchList(model, 1);
            QCOMPARE(model.data(model.index(header ? 1 : 2, 2), Qt::DisplayRole).toString(), QStringLiteral("32"));
            model.SetRows({}, 0);
            ExpectRowsMatchList(model, 0);
            model.SetRows({5}, 6);
            ExpectRowsMatchList(model, 6);
            model.SetRows({1, 2, 3, 4, 5, 6, 7, 8}, 1);
            // A filter keeps the list numbers of the rows it leaves.
            model.SetFilter([](int slot) { return slot % 3 == 0; });
            ExpectRowsMatchList(model, 1);
            QCOMPARE(model.Slots(), (std::vector<int>{3, 6}));
            QCOMPARE(model.data(model.index(header ? 1 : 2, 0), Qt::DisplayRole).toString(), QStringLiteral("NO.6: "));
            model.SetFilter([](int) { return false; });
            ExpectRowsMatchList(model, 1);
            model.SetRows({12, 15, 18}, 1);
            model.SetFilter(nullptr);
            ExpectRowsMatchList(model, 1);
            QCOMPARE(model.ListSlots(), (std::vector<int>{12, 15, 18}));
            model.Refresh();
            model.SetLeadRow({});
            if (!header) QCOMPARE(model.data(model.index(0, 0), Qt::DisplayRole).toString(), QString());
        }
    }

    void theWindowsStepsKeepEveryGridModelSound() {
        Env env;
        auto form = MakeForm(env);
        WindowTesters testers(*form);
        StringGrid* sat = Grid(*form, "SG_Sat");
        StringGrid* tp = Grid(*form, "SG_TP");
        StringGrid* tv = Grid(*form, "SG_TV");
        StringGrid* radio = Grid(*form, "SG_Radio");
        const QString file = CopyBundledSample(env);
        OpenThroughMenu(*form, file);
        ActivateForm(*form);
        const dbase::Database& db = form->Db();
        QCOMPARE(sat->gridModel()->Slots().size(), size_t(db.SatCount));
        // (`db` is read only until the file is opened again.)

        // Each satellite, then each of the first transponders, then all of them again.
        for (int row = 1; row < sat->RowCount() && row <= 3; ++row) {
            ClickRow(sat, row);
            const int s = sat->SlotOfRow(row);
            QCOMPARE(tp->gridModel()->Slots(), dbase::SatTps(db, s));
            QCOMPARE(tv->gridModel()->Slots(), dbase::SatProgs(db, s).tv);
            for (int t = 1; t < tp->RowCount() && t <= 2; ++t) {
                ClickRow(tp, t);
                if (tp->SlotOfRow(t) >= 0)
                    QCOMPARE(radio->gridModel()->Slots(), dbase::TpProgs(db, tp->SlotOfRow(t)).radio);
            }
        }
        ClickRow(sat, 0);
        QCOMPARE(tv->gridModel()->Slots(), dbase::AllProgs(db).tv);
        QCOMPARE(radio->gridModel()->Slots(), dbase::AllProgs(db).radio);

        // Opening the file again refills every grid.
        OpenThroughMenu(*form, file);
        ActivateForm(*form);
        ClickRow(sat, 0);
        QCOMPARE(tv->gridModel()->Slots(), dbase::AllProgs(form->Db()).tv);

        // The filter narrows and widens both program grids.
        ClickRow(tv, 1);
        Key(*form, tv, Qt::Key_F, Qt::ControlModifier);
        auto* filter = form->findChild<QLineEdit*>(QStringLiteral("FilterEdit"));
        QVERIFY(filter);
        QTest::keyClicks(filter, QStringLiteral("NORD"));
        QVERIFY(tv->gridModel()->Filtered());
        QVERIFY(tv->gridModel()->BoundRows() < static_cast<int>(tv->gridModel()->ListSlots().size()));
        Key(*form, filter, Qt::Key_Backspace);
        Key(*form, filter, Qt::Key_Escape);
        QVERIFY(!tv->gridModel()->Filtered());

        // Sorting, moves by key and by drag, and their undoing.
        auto* tvPopup = form->findChild<QMenu*>(QStringLiteral("PM_Tv"));
        QVERIFY(tvPopup);
        ClickRow(tv, 2);
        Choose(*form, tvPopup, QStringLiteral("SortTvName"));
        ClickRow(tv, 2);
        Key(*form, tv, Qt::Key_Down, Qt::AltModifier);
        Key(*form, tv, Qt::Key_End, Qt::AltModifier);
        Key(*form, tv, Qt::Key_Home, Qt::AltModifier);
        DragAlong(tv, 1, {2, 3});
        ClickRow(radio, 1);
        Key(*form, radio, Qt::Key_Down, Qt::AltModifier);
        ClickRow(sat, 2);
        Key(*form, sat, Qt::Key_Down, Qt::AltModifier);
        ClickRow(tp, 1);
        Key(*form, tp, Qt::Key_Down, Qt::AltModifier);
        for (int i = 0; i < 4; ++i) Key(*form, form.get(), Qt::Key_Z, Qt::ControlModifier);
        for (int i = 0; i < 2; ++i) Key(*form, form.get(), Qt::Key_Y, Qt::ControlModifier);
        ClickRow(sat, 0);
        QCOMPARE(tv->gridModel()->Slots(), dbase::AllProgs(form->Db()).tv);
    }
};

QTEST_MAIN(TestGridModel)
#include "test_gridmodel.moc"
