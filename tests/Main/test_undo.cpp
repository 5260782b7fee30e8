// Undo and redo in the main window: the Edit popup and its shortcuts, each
// kind of step taken back and applied again with the lists, the selection and
// the info panel that follow, and the close question at the saved point.
#include "GuiTestSupport.h"
#include "SampleData.h"

#include "EditProg/TFormEditProg.h"
#include "base/Messages.h"
#include "ui/FileDialog.h"
#include "ui/FormSetup.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace guitest;
using ui::MessageBox;

namespace {

// The shortcuts reach the window once it is active again (a dialog or the
// waiting form may just have closed).
void Activate(TFormMain& form) {
    form.activateWindow();
    if (!QTest::qWaitForWindowActive(&form)) qWarning("main window not active");
}

void PressUndo(TFormMain& form) {
    Activate(form);
    QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier);
}

void PressRedo(TFormMain& form, bool ctrlY = false) {
    Activate(form);
    if (ctrlY)
        QTest::keyClick(&form, Qt::Key_Y, Qt::ControlModifier);
    else
        QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
}

// The texts and states of the Edit popup's items as it opens.
QStringList EditItems(TFormMain& form) {
    emit Widget<QMenu>(form, "PM_Edit")->aboutToShow();
    auto item = [](QAction* a) { return a->text() + (a->isEnabled() ? QString() : QStringLiteral(" (off)")); };
    return {item(Widget<QAction>(form, "EditUndo")), item(Widget<QAction>(form, "EditRedo"))};
}

QString Info(const TFormMain& form, int line) {
    return line < Widget<QListWidget>(form, "LB_Info")->count()
               ? Widget<QListWidget>(form, "LB_Info")->item(line)->text()
               : QString();
}

} // namespace

class TestUndo : public QObject {
    Q_OBJECT
private slots:
    void init() {
        env_ = std::make_unique<Env>();
        form_ = MakeForm(*env_);
        path_ = WriteSample(*env_);
        OpenThroughMenu(*form_, path_);
        QVERIFY(form_->Doc().FileOpened());
        form_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
        TakeShownTexts();
    }
    void cleanup() {
        form_->Doc().SetDataChanged(false);
        form_.reset();
        env_.reset();
    }

    void aDialogEditIsTakenBackAndAppliedAgain() {
        QCOMPARE(EditItems(*form_), (QStringList{"Undo (off)", "Redo (off)"}));
        ClickRow(Widget<StringGrid>(*form_, "SG_TV"), 3);
        const int slot = form_->SelectedTv();
        const QString old = CellText(Widget<StringGrid>(*form_, "SG_TV"), 3, 1);
        QTimer::singleShot(0, [] {
            auto* d = qobject_cast<TFormEditProg*>(QApplication::activeModalWidget());
            QVERIFY(d);
            d->Edit_Name->setText(QStringLiteral("Renamed"));
            d->SB_OKClick();
        });
        form_->SG_TVDblClick();
        QCOMPARE(CellText(Widget<StringGrid>(*form_, "SG_TV"), 3, 1), QStringLiteral("Renamed"));
        QCOMPARE(EditItems(*form_), (QStringList{"Undo Change program", "Redo (off)"}));

        // Another grid has the focus: the shortcut works anywhere in the window.
        ClickRow(Widget<StringGrid>(*form_, "SG_Sat"), 2);
        PressUndo(*form_);
        QCOMPARE(
            Widget<StringGrid>(*form_, "SG_TV")->RowOfSlot(slot) > 0
                ? CellText(Widget<StringGrid>(*form_, "SG_TV"), Widget<StringGrid>(*form_, "SG_TV")->RowOfSlot(slot), 1)
                : QString(),
            old);
        QVERIFY2(!form_->Doc().DataChanged(), "back at the opened file");
        QCOMPARE(EditItems(*form_), (QStringList{"Undo (off)", "Redo Change program"}));
        // The program is selected where the satellite's list shows it, and the panel names it.
        QVERIFY(form_->View().tvSelected);
        QCOMPARE(form_->SelectedTv(), slot);
        QCOMPARE(CellText(Widget<StringGrid>(*form_, "SG_TV"), Widget<StringGrid>(*form_, "SG_TV")->Row(), 1), old);
        QVERIFY(ListTexts(Widget<QListWidget>(*form_, "LB_Info")).contains(old));

        PressRedo(*form_, true);
        QCOMPARE(form_->Db().Prog.data[slot].Name, std::string("Renamed"));
        QVERIFY(form_->Doc().DataChanged());
        QCOMPARE(form_->SelectedTv(), slot);
        PressUndo(*form_);
        PressRedo(*form_);
        QCOMPARE(form_->Db().Prog.data[slot].Name, std::string("Renamed"));
        QVERIFY(ListTexts(Widget<QListWidget>(*form_, "LB_Info")).contains(QStringLiteral("Renamed")));
    }

    void aDragOverThreeRowsIsOneStep() {
        ClickRow(Widget<StringGrid>(*form_, "SG_TV"), 1);
        const QStringList before = ColumnTexts(Widget<StringGrid>(*form_, "SG_TV"), 1);
        DragAlong(Widget<StringGrid>(*form_, "SG_TV"), 2, {3, 4, 5});
        const QStringList after = ColumnTexts(Widget<StringGrid>(*form_, "SG_TV"), 1);
        QVERIFY(after != before);
        QCOMPARE(after[4], before[1]);
        QCOMPARE(form_->Doc().StepCount(), size_t(1));
        QCOMPARE(EditItems(*form_)[0], QStringLiteral("Undo Move program"));
        PressUndo(*form_);
        QCOMPARE(ColumnTexts(Widget<StringGrid>(*form_, "SG_TV"), 1), before);
        PressRedo(*form_);
        QCOMPARE(ColumnTexts(Widget<StringGrid>(*form_, "SG_TV"), 1), after);
    }

    void aMarkingClickIsOneStepAndTheModeStaysOn() {
        const int slot = Widget<StringGrid>(*form_, "SG_TV")->SlotOfRow(2);
        const uint8_t locked = form_->Db().Prog.data[slot].Lock;
        Widget<QToolButton>(*form_, "SB_Lock")->click();
        ClickRow(Widget<StringGrid>(*form_, "SG_TV"), 2);
        QCOMPARE(form_->Db().Prog.data[slot].Lock, uint8_t(!locked));
        QCOMPARE(EditItems(*form_)[0], QStringLiteral("Undo Mark lock"));
        PressUndo(*form_);
        QCOMPARE(form_->Db().Prog.data[slot].Lock, locked);
        QVERIFY2(Widget<QToolButton>(*form_, "SB_Lock")->isChecked(), "the marking mode is not the data");
        QCOMPARE(form_->SelectedTv(), slot);
        PressRedo(*form_);
        QCOMPARE(form_->Db().Prog.data[slot].Lock, uint8_t(!locked));
    }

    void aDeleteComesBackWithItsTracks() {
        ClickRow(Widget<StringGrid>(*form_, "SG_TV"), 2);
        const int slot = form_->SelectedTv();
        const int count = form_->Db().ProgCount, audio = form_->Db().AudioCount;
        const QString name = CellText(Widget<StringGrid>(*form_, "SG_TV"), 2, 1);
        MessageBox::setNextAnswer(MessageBox::Yes);
        form_->Delete_TvClick();
        QCOMPARE(int(form_->Db().ProgCount), count - 1);
        QCOMPARE(EditItems(*form_)[0], QStringLiteral("Undo Delete program"));
        PressUndo(*form_);
        QCOMPARE(int(form_->Db().ProgCount), count);
        QCOMPARE(int(form_->Db().AudioCount), audio);
        QCOMPARE(form_->SelectedTv(), slot);
        QCOMPARE(CellText(Widget<StringGrid>(*form_, "SG_TV"), Widget<StringGrid>(*form_, "SG_TV")->Row(), 1), name);
        QVERIFY(ListTexts(Widget<QListWidget>(*form_, "LB_Info")).contains(name));
        // Redone, the program is gone and the selection stays where it can.
        PressRedo(*form_);
        QCOMPARE(int(form_->Db().ProgCount), count - 1);
        QVERIFY(Widget<StringGrid>(*form_, "SG_TV")->RowOfSlot(count - 1) < 0);
    }

    void anImportIsTakenBackWhole() {
        ClickRow(Widget<StringGrid>(*form_, "SG_Sat"), 3);
        const int sat = form_->SelectedSat();
        const std::string name = form_->Db().Sat.data[sat].Name;
        const int tps = form_->Db().SatTpCounts[sat], progs = form_->Db().ProgCount;
        ui::FileDialog::setNextFileName(QStringLiteral(ORBITLIST_TEST_DATA) +
                                        QStringLiteral("/ini/v4l-utils-0130.ini"));
        form_->DownLoadFromini1Click();
        QCOMPARE(TakeShownTexts().last(), ui::MessageText(QString::fromLatin1(dbase::msg::IniSuccess)));
        QVERIFY(form_->Db().SatTpCounts[sat] != tps);
        QCOMPARE(EditItems(*form_)[0], QStringLiteral("Undo Import transponders"));
        PressUndo(*form_);
        QCOMPARE(form_->Db().Sat.data[sat].Name, name);
        QCOMPARE(int(form_->Db().SatTpCounts[sat]), tps);
        QCOMPARE(int(form_->Db().ProgCount), progs);
        // The satellite is selected again, its transponders listed.
        QVERIFY(form_->View().satSelected);
        QCOMPARE(form_->SelectedSat(), sat);
        QCOMPARE(Widget<StringGrid>(*form_, "SG_TP")->gridModel()->BoundRows(), tps);
        QCOMPARE(CellText(Widget<StringGrid>(*form_, "SG_Sat"), Widget<StringGrid>(*form_, "SG_Sat")->Row(), 1).left(3),
                 QString::fromStdString(name).left(3));
        QVERIFY(!Info(*form_, 0).isEmpty());
    }

    void theCloseQuestionFollowsTheSavedPoint() {
        Widget<QToolButton>(*form_, "SB_Skip")->click();
        ClickRow(Widget<StringGrid>(*form_, "SG_TV"), 1);
        QVERIFY(form_->Doc().DataChanged());
        PressUndo(*form_);
        QVERIFY2(form_->close(), "the data is the opened file again: no question");
        QVERIFY(TakeShownTexts().isEmpty());

        form_ = MakeForm(*env_);
        OpenThroughMenu(*form_, path_);
        Widget<QToolButton>(*form_, "SB_Skip")->click();
        ClickRow(Widget<StringGrid>(*form_, "SG_TV"), 1);
        form_->PMSaveClick();
        QVERIFY(!form_->Doc().DataChanged());
        PressUndo(*form_);
        QVERIFY2(form_->Doc().DataChanged(), "the saved file holds the mark");
        MessageBox::setNextAnswer(MessageBox::No);
        QVERIFY(!form_->close());
        QCOMPARE(TakeShownTexts(), QStringList{ui::MessageText(QString::fromLatin1(dbase::msg::ExitQuestion))});
        PressRedo(*form_);
        QVERIFY(form_->close());
    }

    void anOpenStartsAnEmptyHistory() {
        Widget<QToolButton>(*form_, "SB_Skip")->click();
        ClickRow(Widget<StringGrid>(*form_, "SG_TV"), 1);
        QVERIFY(form_->Doc().CanUndo());
        MessageBox::setNextAnswer(MessageBox::Yes);
        OpenThroughMenu(*form_, path_);
        QVERIFY(!form_->Doc().CanUndo() && !form_->Doc().CanRedo());
        QCOMPARE(EditItems(*form_), (QStringList{"Undo (off)", "Redo (off)"}));
    }

private:
    std::unique_ptr<Env> env_;
    std::unique_ptr<TFormMain> form_;
    QString path_;
};

QTEST_MAIN(TestUndo)
#include "test_undo.moc"
