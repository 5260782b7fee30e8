// The File popup's list items and the program popups' "Select duplicates",
// with the dialogs answered by the tests.
#include "GuiTestSupport.h"
#include "ListOrder/TFormListOrder.h"
#include "SampleData.h"
#include "base/Messages.h"
#include "editing/EditorFields.h"
#include "editing/Lists.h"
#include "editing/Reorder.h"
#include "ui/FileDialog.h"
#include "ui/FormSetup.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

using namespace guitest;
using ui::FileDialog;

namespace {

// Answers the next list-order dialog: `check` looks at it, then OK or Cancel.
void AnswerListOrder(bool ok, std::function<void(TFormListOrder&)> check = {}) {
    QTimer::singleShot(0, [ok, check] {
        auto* dialog = qobject_cast<TFormListOrder*>(QApplication::activeModalWidget());
        if (!dialog) qFatal("the list-order dialog is not open");
        if (check) check(*dialog);
        (ok ? dialog->SB_OK : dialog->SB_Cancel)->click();
    });
}

std::vector<int> SelectedSlots(const StringGrid* grid) {
    std::vector<int> picked;
    for (const QModelIndex& i : grid->selectionModel()->selectedRows()) picked.push_back(grid->SlotOfRow(i.row() + 1));
    std::sort(picked.begin(), picked.end());
    return picked;
}

} // namespace

class TestListCommands : public QObject {
    Q_OBJECT
private slots:
    void init() {
        env_ = std::make_unique<Env>();
        form_ = MakeForm(*env_);
        sample_ = WriteSample(*env_);
        OpenThroughMenu(*form_, sample_);
        QVERIFY(form_->Doc().FileOpened());
        TakeShownTexts();
    }
    void cleanup() {
        form_->Doc().SetDataChanged(false);
        form_.reset();
        env_.reset();
    }

    void itemsNeedAnOpenFile() {
        emit Widget<QMenu>(*form_, "PM_File")->aboutToShow();
        for (QAction* a : {Widget<QAction>(*form_, "ExportList"), Widget<QAction>(*form_, "ImportListOrder"),
                           Widget<QAction>(*form_, "CompareWithFile"), Widget<QAction>(*form_, "PrintList")})
            QVERIFY(a->isEnabled());
        form_->Doc().Close();
        emit Widget<QMenu>(*form_, "PM_File")->aboutToShow();
        for (QAction* a : {Widget<QAction>(*form_, "ExportList"), Widget<QAction>(*form_, "ImportListOrder"),
                           Widget<QAction>(*form_, "CompareWithFile"), Widget<QAction>(*form_, "PrintList")})
            QVERIFY(!a->isEnabled());
    }

    void exportWritesTheListAndAsksBeforeOverwriting() {
        const QString csv = env_->path(QStringLiteral("list.csv"));
        FileDialog::setNextFileName(csv);
        ChooseFileItem(*form_, Widget<QAction>(*form_, "ExportList"));
        QCOMPARE(FileDialog::lastRequest().defaultSuffix, QStringLiteral("csv"));
        QFile f(csv);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll().toStdString(), dbase::ExportListCsv(form_->Db()));
        f.close();
        // An existing file is replaced only on Yes.
        QVERIFY(QFile::resize(csv, 3));
        FileDialog::setNextFileName(csv);
        ChooseFileItem(*form_, Widget<QAction>(*form_, "ExportList"));
        QCOMPARE(TakeShownTexts(), QStringList{QStringLiteral("The file has existed, are you sure to cover it?")});
        QCOMPARE(QFileInfo(csv).size(), 3);
    }

    void importShowsTheSummaryAndAppliesOneStep() {
        const std::string original = dbase::ExportListCsv(form_->Db());
        const QString csv = env_->path(QStringLiteral("list.csv"));
        QFile f(csv);
        QVERIFY(f.open(QIODevice::WriteOnly));
        // The list with one row no program has.
        f.write(QByteArray::fromStdString(original + "tv,99,1,Nowhere,X,9,12000,H,1,1,1,1,1,1,0,1,0,\r\n"));
        f.close();
        Widget<QAction>(*form_, "SorebyAZ1")->trigger();
        const std::string sorted = dbase::ExportListCsv(form_->Db());
        QVERIFY(sorted != original);
        const size_t steps = form_->Doc().StepCount();

        // Cancel changes nothing.
        FileDialog::setNextFileName(csv);
        AnswerListOrder(false);
        ChooseFileItem(*form_, Widget<QAction>(*form_, "ImportListOrder"));
        QCOMPARE(form_->Doc().StepCount(), steps);

        FileDialog::setNextFileName(csv);
        AnswerListOrder(true, [](TFormListOrder& d) {
            QCOMPARE(d.Label_Summary->text(),
                     QStringLiteral("40 matched, 1 rows not found, 0 programs not in the list"));
            QCOMPARE(ListTexts(d.LB_NotFound), QStringList{QStringLiteral("Line 42: tv 9 12000 H 1 \"Nowhere\"")});
            QVERIFY(d.ChB_Names->isEnabled());
        });
        ChooseFileItem(*form_, Widget<QAction>(*form_, "ImportListOrder"));
        QCOMPARE(dbase::ExportListCsv(form_->Db()), original);
        QCOMPARE(form_->Doc().StepCount(), steps + 1);
        QCOMPARE(QString::fromStdString(form_->Doc().UndoName()), QStringLiteral("Import list order"));
        QCOMPARE(CellText(Widget<StringGrid>(*form_, "SG_TV"), 1, 1), QStringLiteral("Alpen TV"));
        form_->UndoClick();
        QCOMPARE(dbase::ExportListCsv(form_->Db()), sorted);
    }

    void aDataFileIsAReferenceAndABadListIsRefused() {
        Widget<QAction>(*form_, "SorebyAZ1")->trigger();
        FileDialog::setNextFileName(sample_);
        AnswerListOrder(true, [](TFormListOrder& d) {
            QCOMPARE(d.Label_Summary->text(),
                     QStringLiteral("40 matched, 0 rows not found, 0 programs not in the list"));
            QVERIFY(!d.LB_NotFound->isVisible());
        });
        ChooseFileItem(*form_, Widget<QAction>(*form_, "ImportListOrder"));
        QCOMPARE(QString::fromStdString(form_->Doc().UndoName()), QStringLiteral("Apply reference list"));
        QCOMPARE(CellText(Widget<StringGrid>(*form_, "SG_TV"), 2, 1), QStringLiteral("Nordlicht HD"));

        const QString bad = env_->path(QStringLiteral("bad.csv"));
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("kind,longitude,frequency,polarisation,service_id\r\ntv,19.2,\"11361,H,1000\r\n");
        f.close();
        const size_t steps = form_->Doc().StepCount();
        FileDialog::setNextFileName(bad);
        ChooseFileItem(*form_, Widget<QAction>(*form_, "ImportListOrder"));
        QCOMPARE(TakeShownTexts(), QStringList{QStringLiteral("Line 2 of the list: a quoted field is not closed.")});
        QCOMPARE(form_->Doc().StepCount(), steps);
    }

    void namesAreTakenOnlyWhenAskedAndAsTheEditorAllows() {
        const QString csv = env_->path(QStringLiteral("names.csv"));
        QFile f(csv);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("kind,longitude,frequency,polarisation,service_id,name\r\ntv,19.2,11361,H,1000,Alpen Eins\r\n");
        f.close();
        FileDialog::setNextFileName(csv);
        AnswerListOrder(true, [](TFormListOrder& d) { d.ChB_Names->click(); });
        ChooseFileItem(*form_, Widget<QAction>(*form_, "ImportListOrder"));
        QCOMPARE(CellText(Widget<StringGrid>(*form_, "SG_TV"), 1, 1), QStringLiteral("Alpen Eins"));

        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("kind,longitude,frequency,polarisation,service_id,name\r\ntv,19.2,11361,H,1000,\r\n");
        f.close();
        FileDialog::setNextFileName(csv);
        AnswerListOrder(true, [](TFormListOrder& d) {
            d.ChB_Names->click();
            QVERIFY(!d.ChB_Names->isChecked());
        });
        ChooseFileItem(*form_, Widget<QAction>(*form_, "ImportListOrder"));
        QCOMPARE(TakeShownTexts(),
                 QStringList{QStringLiteral("Line 2 of the list: the name \"\" is refused: It can not be empty!")});
        QCOMPARE(CellText(Widget<StringGrid>(*form_, "SG_TV"), 1, 1), QStringLiteral("Alpen Eins"));
    }

    void selectDuplicatesShowsEveryProgramAndSelectsAllButTheFirst() {
        std::vector<int> added(2, -1);
        dbase::ProgValues v;
        v.name = "Alpen TV";
        v.sid = 1000;
        for (int& slot : added)
            QVERIFY(form_->Doc().Edit("Add program", [&](dbase::Database& db) {
                return dbase::AddProgram(db, dbase::TpSlot(0), false, v, &slot);
            }));
        form_->ShowAllSatellites();
        ClickRow(Widget<StringGrid>(*form_, "SG_Sat"), 2); // narrowed to a satellite without the group
        form_->ShowFilter();                               // and a filter that hides it
        Widget<QLineEdit>(*form_, "FilterEdit")->setText(QStringLiteral("Kanal"));
        emit Widget<QMenu>(*form_, "PM_Tv")->aboutToShow();
        QVERIFY(Widget<QAction>(*form_, "SelectDuplicates1")->isEnabled());
        Widget<QAction>(*form_, "SelectDuplicates1")->trigger();
        QCOMPARE(TakeShownTexts(), QStringList{QStringLiteral("1 group of duplicates found, 2 programs selected.")});
        QVERIFY(!form_->View().satSelected);
        QVERIFY(!form_->FilterOn());
        QCOMPARE(Widget<StringGrid>(*form_, "SG_TV")->gridModel()->BoundRows(), 32);
        QCOMPARE(SelectedSlots(Widget<StringGrid>(*form_, "SG_TV")), added);
        // Del then removes them, after one question, as one step.
        const int count = form_->Db().ProgCount;
        const size_t steps = form_->Doc().StepCount();
        ui::MessageBox::setNextAnswer(ui::MessageBox::Yes);
        form_->Delete_TvClick();
        QCOMPARE(TakeShownTexts(), QStringList{ui::MessageText(dbase::msg::DeleteProgsQuestion(2))});
        QCOMPARE(form_->Db().ProgCount, count - 2);
        QCOMPARE(form_->Doc().StepCount(), steps + 1);
        form_->UndoClick();
        QCOMPARE(form_->Db().ProgCount, count);
        // Radio programs have none.
        Widget<QAction>(*form_, "SelectDuplicates2")->trigger();
        QCOMPARE(TakeShownTexts(), QStringList{QStringLiteral("No duplicates found.")});
        QVERIFY(SelectedSlots(Widget<StringGrid>(*form_, "SG_Radio")).empty());
    }

private:
    std::unique_ptr<Env> env_;
    std::unique_ptr<TFormMain> form_;
    QString sample_;
};

QTEST_MAIN(TestListCommands)
#include "test_listcommands.moc"
