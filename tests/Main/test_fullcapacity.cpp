// The window on a database with every table full: every list, click, mode,
// drag, popup and command works, refusals say why, and what is saved opens
// again whole.
#include "GuiTestSupport.h"
#include "SampleData.h"

#include "base/Messages.h"
#include "editing/Consistency.h"
#include "format/DataFile.h"
#include "ui/FormSetup.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QToolButton>

using namespace guitest;
using ui::MessageBox;

namespace {

QPoint RowCentre(StringGrid* grid, int row) {
    const QModelIndex index = grid->model()->index(row - grid->FixedRows(), 1);
    grid->scrollTo(index);
    return grid->visualRect(index).center();
}

void Drag(StringGrid* grid, int from, int to) {
    QTest::mousePress(grid->viewport(), Qt::LeftButton, Qt::NoModifier, RowCentre(grid, from));
    QTest::mouseMove(grid->viewport(), RowCentre(grid, to));
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, Qt::NoModifier, RowCentre(grid, to));
}

QString Msg(const char* text) { return ui::MessageText(QString::fromLatin1(text)); }

} // namespace

class TestFullCapacity : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        env_ = std::make_unique<Env>();
        form_ = MakeForm(*env_);
        path_ = WriteDataFile(*sample::BuildFull(5), env_->path(QStringLiteral("full.bin")), true);
        OpenThroughMenu(*form_, path_);
        QVERIFY(form_->Doc().FileOpened());
        form_->activateWindow();
        if (!QTest::qWaitForWindowActive(form_.get())) qWarning("main window not active");
    }
    void cleanupTestCase() {
        form_->Doc().SetDataChanged(false);
        form_.reset();
    }

    void everyListIsShown() {
        const dbase::Database& db = form_->Db();
        QCOMPARE(Widget<StringGrid>(*form_, "SG_Sat")->RowCount(), 1 + dbase::kMaxSatsInImage);
        QCOMPARE(Widget<StringGrid>(*form_, "SG_TP")->RowCount(), 1 + dbase::kTpSlots);
        QCOMPARE(Widget<StringGrid>(*form_, "SG_TV")->RowCount() + Widget<StringGrid>(*form_, "SG_Radio")->RowCount(),
                 2 + dbase::kProgSlots);
        QCOMPARE(int(db.AudioCount), dbase::kAudioSlots);
        // The last rows are reachable and bound.
        ClickRow(Widget<StringGrid>(*form_, "SG_TP"), dbase::kTpSlots);
        QCOMPARE(form_->SelectedTp(), Widget<StringGrid>(*form_, "SG_TP")->gridModel()->Slots()[dbase::kTpSlots - 1]);
        ClickRow(Widget<StringGrid>(*form_, "SG_Sat"), 0);
        ClickRow(Widget<StringGrid>(*form_, "SG_TV"), Widget<StringGrid>(*form_, "SG_TV")->RowCount() - 1);
        QCOMPARE(ListTexts(Widget<QListWidget>(*form_, "LB_Info")).size(), 9);
    }

    void addsAreRefusedWithTheirMessages() {
        ClickRow(Widget<StringGrid>(*form_, "SG_Sat"), 1);
        form_->New_TpClick();
        ClickRow(Widget<StringGrid>(*form_, "SG_TP"), 1);
        form_->New_TvClick();
        form_->New_RadioClick();
        QCOMPARE(TakeShownTexts(), (QStringList{Msg(dbase::msg::MaxTransponders), Msg(dbase::msg::MaxPrograms),
                                                Msg(dbase::msg::MaxPrograms)}));
        QVERIFY(!form_->Doc().DataChanged());
    }

    void everySatelliteAndModeAnswers() {
        for (int row = 0; row <= dbase::kMaxSatsInImage; row += 7) {
            ClickRow(Widget<StringGrid>(*form_, "SG_Sat"), row);
            emit Widget<QMenu>(*form_, "PM_Sate")->aboutToShow();
            emit Widget<QMenu>(*form_, "PM_TP")->aboutToShow();
        }
        // A favourite mode over every program, then lock and skip.
        ClickRow(Widget<StringGrid>(*form_, "SG_Sat"), 0);
        for (QToolButton* b : {guitest::FavButton(*form_, 4), Widget<QToolButton>(*form_, "SB_Lock"),
                               Widget<QToolButton>(*form_, "SB_Skip")}) {
            b->click();
            ClickRow(Widget<StringGrid>(*form_, "SG_TV"), 5);
            ClickRow(Widget<StringGrid>(*form_, "SG_Radio"), 5);
            b->click();
        }
        // A favourite group listing its members from all satellites.
        Widget<QListWidget>(*form_, "LB_FAV")->setCurrentRow(3);
        form_->LB_FAVClick();
        QVERIFY(Widget<StringGrid>(*form_, "SG_TV")->RowCount() > 2);
        ClickRow(Widget<StringGrid>(*form_, "SG_Sat"), 0);
        QVERIFY(dbase::FindInconsistencies(form_->Db()).empty());
    }

    void dragsAndDeletesKeepTheModelWhole() {
        ClickRow(Widget<StringGrid>(*form_, "SG_Sat"), 3);
        Widget<StringGrid>(*form_, "SG_Sat")->setFocus();
        Drag(Widget<StringGrid>(*form_, "SG_Sat"), 3, 4);
        ClickRow(Widget<StringGrid>(*form_, "SG_Sat"), 3);
        Widget<StringGrid>(*form_, "SG_TP")->setFocus();
        Drag(Widget<StringGrid>(*form_, "SG_TP"), 2, 3);
        ClickRow(Widget<StringGrid>(*form_, "SG_Sat"), 0);
        Widget<StringGrid>(*form_, "SG_TV")->setFocus();
        Drag(Widget<StringGrid>(*form_, "SG_TV"), 3, 4);
        MessageBox::setNextAnswer(MessageBox::Yes);
        ClickRow(Widget<StringGrid>(*form_, "SG_TV"), 10);
        form_->Delete_TvClick();
        ClickRow(Widget<StringGrid>(*form_, "SG_TP"), 20);
        MessageBox::setNextAnswer(MessageBox::Yes);
        form_->Delete_TpClick();
        ClickRow(Widget<StringGrid>(*form_, "SG_Sat"), 5);
        MessageBox::setNextAnswer(MessageBox::Yes);
        form_->ResetSatellite1Click();
        for (int kind = 0; kind < 2; ++kind) {
            form_->SorebyAZ1Click();
            form_->SorebyFav2Click();
            form_->SorebyTp1Click();
        }
        const auto problems = dbase::FindInconsistencies(form_->Db());
        QVERIFY2(problems.empty(), problems.empty() ? "" : problems.front().c_str());
        QVERIFY(form_->Doc().DataChanged());
    }

    void whatIsSavedOpensAgain() {
        form_->PMSaveClick();
        QVERIFY(!form_->Doc().DataChanged());
        auto again = dbase::NewDatabase();
        QVERIFY(dbase::OpenImageFile(QFile::encodeName(path_).toStdString(), true, *again).ok());
        QCOMPARE(again->ProgCount, form_->Db().ProgCount);
        QCOMPARE(again->TpCount, form_->Db().TpCount);
    }

private:
    std::unique_ptr<Env> env_;
    std::unique_ptr<TFormMain> form_;
    QString path_;
};

QTEST_MAIN(TestFullCapacity)
#include "test_fullcapacity.moc"
