// Finding, selecting many and moving in the main window, as a user does it:
// typing in the filter field and choosing its conditions, Shift and Ctrl
// clicks, the marks and the delete of a selection, Alt+arrow moves, moves to
// a position, block drags and the sort items, each taken back with Ctrl+Z.
//
// The bundled sample: TV programs in slots 0..29 (row r shows slot r - 1),
// radio programs in 30..39; Rhein 24 (slot 2) has two extra audio tracks.
#include "GuiTestSupport.h"

#include "base/Messages.h"
#include "ui/FormSetup.h"
#include "ui/InputDialog.h"
#include "ui/MessageBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

using namespace guitest;

namespace {

std::unique_ptr<TFormMain> OpenSample(const Env& env) {
    auto form = MakeForm(env);
    OpenThroughMenu(*form, CopyBundledSample(env));
    ActivateForm(*form);
    return form;
}

QStringList Names(const StringGrid* grid) {
    QStringList names = ColumnTexts(grid, 1);
    names.removeAll(QString());
    return names;
}

std::vector<int> Rows(std::initializer_list<int> rows) { return rows; }

void Key(TFormMain& form, QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    ActivateForm(form);
    QTest::keyClick(target, key, modifiers);
}

void Undo(TFormMain& form) { Key(form, &form, Qt::Key_Z, Qt::ControlModifier); }

// Triggers item `name` of `popup` as a user would after opening it on `grid`'s current row.
void Choose(TFormMain& form, QMenu* popup, const QString& name) {
    emit popup->aboutToShow();
    auto* item = form.findChild<QAction*>(name);
    QVERIFY2(item && item->isEnabled(), qPrintable(name));
    item->trigger();
    emit popup->aboutToHide();
}

} // namespace

class TestFindSelect : public QObject {
    Q_OBJECT
private slots:
    void typingFiltersBothGridsKeepingTheListNumbers() {
        Env env;
        auto form = OpenSample(env);
        ClickRow(Widget<StringGrid>(*form, "SG_TV"), 3);
        Key(*form, Widget<StringGrid>(*form, "SG_TV"), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(Widget<QWidget>(*form, "FilterBar")->isVisible());
        QVERIFY(Widget<QLineEdit>(*form, "FilterEdit")->hasFocus());
        // One field over both grids, which make room for it.
        const QRect bar(Widget<QWidget>(*form, "FilterBar")->mapToGlobal(QPoint(0, 0)),
                        Widget<QWidget>(*form, "FilterBar")->size());
        QCOMPARE(bar.left(), Widget<QWidget>(*form, "Panel_TV")->mapToGlobal(QPoint(0, 0)).x());
        QCOMPARE(bar.right(), Widget<QWidget>(*form, "Panel_Rad")
                                  ->mapToGlobal(QPoint(Widget<QWidget>(*form, "Panel_Rad")->width() - 1, 0))
                                  .x());
        QVERIFY(bar.bottom() < Widget<StringGrid>(*form, "SG_TV")->mapToGlobal(QPoint(0, 0)).y());

        QTest::keyClicks(Widget<QLineEdit>(*form, "FilterEdit"), QStringLiteral("NORD"));
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_TV")), (QStringList{"Nordlicht HD", "Nordic Sport"}));
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_Radio")), QStringList{"Nordic Pop"});
        QCOMPARE(ColumnTexts(Widget<StringGrid>(*form, "SG_TV"), 0), (QStringList{"NO.2: ", "NO.20: "}));
        QCOMPARE(ColumnTexts(Widget<StringGrid>(*form, "SG_Radio"), 0), QStringList{"NO.6: "});
        QCOMPARE(Widget<QLabel>(*form, "FilterCount")->text(), QStringLiteral("3 of 40"));

        // Digits alone also find service ids and PIDs (an extra track's too).
        Widget<QLineEdit>(*form, "FilterEdit")->setText(QStringLiteral("1091"));
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_TV")), (QStringList{"Cinema Plus", "Delta Info"}));

        // On top of a satellite: the numbers are places in the satellite's list.
        ClickRow(Widget<StringGrid>(*form, "SG_Sat"), 2);
        Widget<QLineEdit>(*form, "FilterEdit")->setText(QStringLiteral("e"));
        const dbase::ProgLists onSat = dbase::SatProgs(form->Db(), form->SelectedSat());
        int withE = 0;
        for (int slot : onSat.tv)
            withE +=
                QString::fromStdString(form->Db().Prog.data[slot].Name).contains(QLatin1Char('e'), Qt::CaseInsensitive);
        QCOMPARE(Widget<StringGrid>(*form, "SG_TV")->gridModel()->BoundRows(), withE);
        for (int r = 1; r <= Widget<StringGrid>(*form, "SG_TV")->gridModel()->BoundRows(); ++r) {
            const auto at =
                std::find(onSat.tv.begin(), onSat.tv.end(), Widget<StringGrid>(*form, "SG_TV")->SlotOfRow(r));
            QVERIFY(CellText(Widget<StringGrid>(*form, "SG_TV"), r, 1).contains(QLatin1Char('e'), Qt::CaseInsensitive));
            QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_TV"), r, 0),
                     QStringLiteral("NO.%1: ").arg(at - onSat.tv.begin() + 1));
        }

        // Esc clears and hides it: the whole lists again.
        Key(*form, Widget<QLineEdit>(*form, "FilterEdit"), Qt::Key_Escape);
        QVERIFY(!Widget<QWidget>(*form, "FilterBar")->isVisible());
        QVERIFY(!form->FilterOn());
        QCOMPARE(Widget<StringGrid>(*form, "SG_TV")->gridModel()->BoundRows(), static_cast<int>(onSat.tv.size()));
        Key(*form, Widget<StringGrid>(*form, "SG_TV"), Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(Widget<QLineEdit>(*form, "FilterEdit")->text(), QString());
    }

    void conditionsNarrowWhatTheTextFinds() {
        Env env;
        auto form = OpenSample(env);
        Widget<QAction>(*form, "FindPrograms")->trigger();
        Choose(*form, Widget<QMenu>(*form, "PM_Filter"), QStringLiteral("FilterScrambled"));
        QCOMPARE(Widget<StringGrid>(*form, "SG_TV")->gridModel()->BoundRows(), 7);
        QCOMPARE(Widget<StringGrid>(*form, "SG_Radio")->gridModel()->BoundRows(), 0);
        QTest::keyClicks(Widget<QLineEdit>(*form, "FilterEdit"), QStringLiteral("k"));
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_TV")), (QStringList{"Kanal Sieben", "Kino Eins"}));
        Choose(*form, Widget<QMenu>(*form, "PM_Filter"), QStringLiteral("FilterLocked"));
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_TV")), QStringList{"Kino Eins"});
        QCOMPARE(Widget<QToolButton>(*form, "FilterConditions")->text(), QStringLiteral("Conditions (2) \u25BE"));
        // "Free" takes the place of "Scrambled".
        Choose(*form, Widget<QMenu>(*form, "PM_Filter"), QStringLiteral("FilterFree"));
        QVERIFY(Names(Widget<StringGrid>(*form, "SG_TV")).isEmpty());
        Choose(*form, Widget<QMenu>(*form, "PM_Filter"), QStringLiteral("FilterClearConditions"));
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_TV")).size(), 7); // every TV name with a k
        ui::InputDialog::setNextNumber(5005);
        Widget<QLineEdit>(*form, "FilterEdit")->clear();
        Choose(*form, Widget<QMenu>(*form, "PM_Filter"), QStringLiteral("FilterSid"));
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_Radio")), QStringList{"Nordic Pop"});
        QCOMPARE(Widget<QLabel>(*form, "FilterCount")->text(), QStringLiteral("1 of 40"));
        Choose(*form, Widget<QMenu>(*form, "PM_Filter"), QStringLiteral("FilterFav06"));
        QVERIFY(Names(Widget<StringGrid>(*form, "SG_Radio")).isEmpty());
    }

    void underAFilterMovesAreOffWhileMarksAndDeletesTakeWhatIsShown() {
        Env env;
        auto form = OpenSample(env);
        Widget<QAction>(*form, "FindPrograms")->trigger();
        QTest::keyClicks(Widget<QLineEdit>(*form, "FilterEdit"), QStringLiteral("nord"));
        ClickRow(Widget<StringGrid>(*form, "SG_TV"), 2);
        DragAlong(Widget<StringGrid>(*form, "SG_TV"), 2, {1});
        Key(*form, Widget<StringGrid>(*form, "SG_TV"), Qt::Key_Up, Qt::AltModifier);
        QVERIFY(!form->Doc().DataChanged());
        QVERIFY(Widget<StringGrid>(*form, "SG_TV")->toolTip().contains(QStringLiteral("filter")));
        emit Widget<QMenu>(*form, "PM_Tv")->aboutToShow();
        QVERIFY(!Widget<QAction>(*form, "MovePosTv")->isEnabled());
        emit Widget<QMenu>(*form, "PM_Tv")->aboutToHide();

        Key(*form, Widget<StringGrid>(*form, "SG_TV"), Qt::Key_A, Qt::ControlModifier);
        Choose(*form, Widget<QMenu>(*form, "PM_Tv"), QStringLiteral("MarksTvSkip"));
        QVERIFY(form->Db().Prog.data[1].Skip && form->Db().Prog.data[19].Skip && !form->Db().Prog.data[0].Skip);
        QCOMPARE(QString::fromStdString(form->Doc().UndoName()), QStringLiteral("Skip programs"));

        ui::MessageBox::setNextAnswer(ui::MessageBox::Yes);
        Key(*form, Widget<StringGrid>(*form, "SG_TV"), Qt::Key_Delete);
        QCOMPARE(TakeShownTexts(), QStringList{ui::MessageText(dbase::msg::DeleteProgsQuestion(2))});
        QCOMPARE(form->Db().ProgCount, 38);
        QVERIFY(Names(Widget<StringGrid>(*form, "SG_TV")).isEmpty());
        QCOMPARE(Widget<QLabel>(*form, "FilterCount")->text(), QStringLiteral("1 of 38"));
        Undo(*form);
        QCOMPARE(form->Db().ProgCount, 40);
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_TV")), (QStringList{"Nordlicht HD", "Nordic Sport"}));
        Undo(*form);
        QVERIFY(!form->Db().Prog.data[1].Skip);
    }

    void shiftAndCtrlClicksSelectManyAndAPlainClickOne() {
        Env env;
        auto form = OpenSample(env);
        StringGrid* tv = Widget<StringGrid>(*form, "SG_TV");
        ClickRow(tv, 2);
        ClickRow(tv, 5, Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(tv->SelectedRows(), Rows({2, 3, 4, 5}));
        // The frozen row numbers show the same selection.
        auto* numbers = tv->findChild<QTableView*>(QStringLiteral("FrozenColumn"));
        QVERIFY(numbers->selectionModel()->isRowSelected(3, {}));
        ClickRow(tv, 8, Qt::LeftButton, Qt::ControlModifier);
        ClickRow(tv, 3, Qt::LeftButton, Qt::ControlModifier);
        QCOMPARE(tv->SelectedRows(), Rows({2, 4, 5, 8}));
        Key(*form, tv, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(tv->SelectedRows(), Rows({3, 4}));

        // A right-click inside the selection keeps it for the popup.
        ClickRow(tv, 6, Qt::LeftButton, Qt::ShiftModifier);
        ClickRow(tv, 4, Qt::RightButton);
        QCOMPARE(tv->SelectedRows(), Rows({3, 4, 5, 6}));
        Choose(*form, Widget<QMenu>(*form, "PM_Tv"), QStringLiteral("MarksTvAddFav03"));
        for (int slot = 0; slot < 8; ++slot) QCOMPARE(form->Db().InFavGroup(slot, 2), slot >= 2 && slot <= 5);
        Undo(*form);
        QVERIFY(!form->Db().InFavGroup(3, 2));

        // A plain click, inside the selection or not, selects one row and runs the click.
        ClickRow(tv, 5);
        QCOMPARE(tv->SelectedRows(), Rows({5}));
        QCOMPARE(Widget<QListWidget>(*form, "LB_Info")->item(4)->text(), CellText(tv, 5, 1));
        ClickRow(tv, 9, Qt::RightButton);
        QCOMPARE(tv->SelectedRows(), Rows({9}));

        // One program: the question of a single delete.
        TakeShownTexts();
        Key(*form, tv, Qt::Key_Delete);
        QCOMPARE(TakeShownTexts(), QStringList{ui::MessageText(std::string(dbase::msg::DeleteProgQuestion))});
        QCOMPARE(form->Db().ProgCount, 40);

        // In a marking mode a click marks the clicked program only.
        Widget<QToolButton>(*form, "SB_Lock")->click();
        ClickRow(tv, 2);
        ClickRow(tv, 4, Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(tv->SelectedRows(), Rows({4}));
        QVERIFY(form->Db().Prog.data[1].Lock && !form->Db().Prog.data[2].Lock && form->Db().Prog.data[3].Lock);
    }

    void altKeysAndMoveToPositionReachEveryRow() {
        Env env;
        auto form = OpenSample(env);
        StringGrid* tv = Widget<StringGrid>(*form, "SG_TV");
        const QStringList before = Names(tv);
        ClickRow(tv, 3);
        Key(*form, tv, Qt::Key_Up, Qt::AltModifier);
        Key(*form, tv, Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(CellText(tv, 1, 1), QStringLiteral("Rhein 24"));
        QCOMPARE(tv->Row(), 1);
        QCOMPARE(form->Db().Audio.data[0].ProgIndex, 0u); // its tracks went with it
        Key(*form, tv, Qt::Key_End, Qt::AltModifier);
        QCOMPARE(CellText(tv, 30, 1), QStringLiteral("Rhein 24"));
        QCOMPARE(QString::fromStdString(form->Doc().UndoName()), QStringLiteral("Move program"));
        for (int i = 0; i < 3; ++i) Undo(*form);
        QCOMPARE(Names(tv), before);

        // A block keeps its order; so do the programs it passes.
        ClickRow(tv, 28);
        ClickRow(tv, 30, Qt::LeftButton, Qt::ShiftModifier);
        Key(*form, tv, Qt::Key_Home, Qt::AltModifier);
        QCOMPARE(Names(tv).mid(0, 4), (QStringList{" Zenith", "Aurora", "Boreal HD", "Alpen TV"}));
        QCOMPARE(tv->SelectedRows(), Rows({1, 2, 3}));
        ui::InputDialog::setNextNumber(10);
        Key(*form, tv, Qt::Key_M, Qt::ControlModifier);
        QCOMPARE(ui::InputDialog::lastRequest().max, 28);
        QCOMPARE(ui::InputDialog::lastRequest().value, 1); // where the block starts, not the current row
        QCOMPARE(Names(tv).mid(9, 3), (QStringList{" Zenith", "Aurora", "Boreal HD"}));
        QCOMPARE(tv->SelectedRows(), Rows({10, 11, 12}));
        QCOMPARE(QString::fromStdString(form->Doc().UndoName()), QStringLiteral("Move programs"));
        Undo(*form);
        Undo(*form);
        QCOMPARE(Names(tv), before);

        // A satellite reaches the first row, which no drag enters.
        ClickRow(Widget<StringGrid>(*form, "SG_Sat"), 3);
        const QString third = CellText(Widget<StringGrid>(*form, "SG_Sat"), 3, 1);
        Key(*form, Widget<StringGrid>(*form, "SG_Sat"), Qt::Key_Home, Qt::AltModifier);
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_Sat"), 1, 1), third);
        QVERIFY(form->View().satSelected);
        // Transponders move while one satellite is shown, not under "Show ALL Info".
        ClickRow(Widget<StringGrid>(*form, "SG_TP"), 1);
        const QString first = CellText(Widget<StringGrid>(*form, "SG_TP"), 1, 1);
        Key(*form, Widget<StringGrid>(*form, "SG_TP"), Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(CellText(Widget<StringGrid>(*form, "SG_TP"), 2, 1), first);
        ClickRow(Widget<StringGrid>(*form, "SG_Sat"), 0);
        ClickRow(Widget<StringGrid>(*form, "SG_TP"), 1);
        const size_t steps = form->Doc().StepCount();
        Key(*form, Widget<StringGrid>(*form, "SG_TP"), Qt::Key_Down, Qt::AltModifier);
        // No program moves in a marking mode.
        Widget<QToolButton>(*form, "SB_Skip")->click();
        ClickRow(tv, 1);
        Key(*form, tv, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(form->Doc().StepCount(), steps + 1); // the click in skip mode, nothing more
    }

    void draggingASelectedBlockMovesItWhole() {
        Env env;
        auto form = OpenSample(env);
        StringGrid* tv = Widget<StringGrid>(*form, "SG_TV");
        const QStringList before = Names(tv);
        ClickRow(tv, 3);
        ClickRow(tv, 5, Qt::LeftButton, Qt::ShiftModifier);
        DragAlong(tv, 4, {5, 6, 7});
        QCOMPARE(Names(tv).mid(1, 8), (QStringList{"Nordlicht HD", "Tagesbild", "Sport Arena", "Kino Eins", "Rhein 24",
                                                   "Kanal Sieben", "Bergblick", "Kinderwelt"}));
        QCOMPARE(tv->SelectedRows(), Rows({6, 7, 8}));
        QCOMPARE(form->Db().Audio.data[0].ProgIndex, 5u);
        // The whole gesture is one step.
        QCOMPARE(QString::fromStdString(form->Doc().UndoName()), QStringLiteral("Move programs"));
        Undo(*form);
        QCOMPARE(Names(tv), before);
        // A press inside the block without a drag selects that row alone.
        ClickRow(tv, 3);
        ClickRow(tv, 5, Qt::LeftButton, Qt::ShiftModifier);
        ClickRow(tv, 4);
        QCOMPARE(tv->SelectedRows(), Rows({4}));
    }

    void theSortItemsAreOneStepEach() {
        Env env;
        auto form = OpenSample(env);
        const QStringList before = Names(Widget<StringGrid>(*form, "SG_TV"));
        emit Widget<QMenu>(*form, "PM_Tv")->aboutToShow();
        QVERIFY(Widget<QMenu>(*form, "SortTv")->menuAction()->isVisible() &&
                Widget<QMenu>(*form, "SortTv")->menuAction()->isEnabled());
        QVERIFY(!Widget<QMenu>(*form, "Sore1")->menuAction()->isVisible());
        Choose(*form, Widget<QMenu>(*form, "PM_Tv"), QStringLiteral("SortTvName"));
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_TV")).mid(0, 3),
                 (QStringList{"Alpen TV", "Anadolu Haber", "Atlas Doc"}));
        QCOMPARE(QString::fromStdString(form->Doc().UndoName()), QStringLiteral("Sort programs"));
        Undo(*form);
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_TV")), before);
        const QStringList radio = Names(Widget<StringGrid>(*form, "SG_Radio"));
        Choose(*form, Widget<QMenu>(*form, "PM_Radio"), QStringLiteral("SortRadioFav"));
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_Radio")).mid(0, 4),
                 (QStringList{"Radio Alpina", "Radio Sole", "Radyo Ege", "Easy Melody"}));
        Undo(*form);
        QCOMPARE(Names(Widget<StringGrid>(*form, "SG_Radio")), radio);
    }

    void programsOfGivenSlotsCanBeSelected() {
        Env env;
        auto form = OpenSample(env);
        QCOMPARE(form->SelectProgramSlots({5, 2, 33, 999}), 3);
        QCOMPARE(Widget<StringGrid>(*form, "SG_TV")->SelectedRows(), Rows({3, 6}));
        QCOMPARE(Widget<StringGrid>(*form, "SG_Radio")->SelectedRows(), Rows({4}));
        QVERIFY(Widget<StringGrid>(*form, "SG_TV")->hasFocus());
        QCOMPARE(Widget<QListWidget>(*form, "LB_Info")->item(4)->text(), QStringLiteral("Rhein 24"));
    }
};

QTEST_MAIN(TestFindSelect)
#include "test_findselect.moc"
