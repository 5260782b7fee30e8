// The main window's editing commands: the editor dialogs opened from the
// grids, adding, deleting and resetting entries, and the .ini import, each
// with its question, limits and the refreshed views.
#include "GuiTestSupport.h"
#include "SampleData.h"

#include "EditFAV/TFormEditFAV.h"
#include "EditProg/TFormEditProg.h"
#include "EditTP/TFormEditTP.h"
#include "base/Messages.h"
#include "ui/FileDialog.h"
#include "ui/FormSetup.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <unistd.h>

using namespace guitest;
using ui::MessageBox;

namespace {

// Answers the next modal dialog of type D: `fill` sets its fields and
// presses its buttons.
template <class D> void AnswerDialog(std::function<void(D&)> fill) {
    QTimer::singleShot(0, [fill] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (!dialog) qFatal("the expected dialog is not open");
        fill(*dialog);
        if (dialog->isVisible()) dialog->reject();
    });
}

QString Msg(const char* text) { return ui::MessageText(QString::fromLatin1(text)); }

} // namespace

class TestEditCommands : public QObject {
    Q_OBJECT
private slots:
    void init() {
        env_ = std::make_unique<Env>();
        form_ = MakeForm(*env_);
        OpenThroughMenu(*form_, WriteSample(*env_));
        QVERIFY(form_->Doc().FileOpened());
        TakeShownTexts();
    }
    void cleanup() {
        form_->Doc().SetDataChanged(false);
        form_.reset();
        env_.reset();
    }

    void doubleClickOnAProgramEditsIt() {
        ClickRow(Widget<StringGrid>(*form_, "SG_TV"), 2);
        const int slot = form_->SelectedTv();
        AnswerDialog<TFormEditProg>([](TFormEditProg& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("Change channel data"));
            d.Edit_Name->setText(QStringLiteral("Renamed One"));
            d.SB_OKClick();
        });
        form_->SG_TVDblClick();
        QCOMPARE(form_->Db().Prog.data[slot].Name, std::string("Renamed One"));
        QVERIFY(form_->Doc().DataChanged());
        QCOMPARE(CellText(Widget<StringGrid>(*form_, "SG_TV"), 2, 1), QStringLiteral("Renamed One"));
        QVERIFY(ListTexts(Widget<QListWidget>(*form_, "LB_Info")).contains(QStringLiteral("Renamed One")));
    }

    void cancelledEditorsChangeNothing() {
        ClickRow(Widget<StringGrid>(*form_, "SG_TP"), 1);
        AnswerDialog<TFormEditTP>([](TFormEditTP& d) {
            d.Edit_Fre->setText(QStringLiteral("12345"));
            d.SB_CancelClick();
        });
        form_->SG_TPDblClick();
        QVERIFY(!form_->Doc().DataChanged());
    }

    void addingATransponderSelectsIt() {
        ClickRow(Widget<StringGrid>(*form_, "SG_Sat"), 2); // Hot Bird, 9 transponders
        const int sat = form_->SelectedSat();
        const int before = form_->Db().SatTpCounts[sat];
        QVERIFY(Widget<QToolButton>(*form_, "SB_NewTp")->isEnabled());
        AnswerDialog<TFormEditTP>([](TFormEditTP& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("Addition transponder data"));
            d.Edit_Fre->setText(QStringLiteral("11900"));
            d.Edit_Sym->setText(QStringLiteral("27500"));
            d.SB_OKClick();
        });
        Widget<QToolButton>(*form_, "SB_NewTp")->click();
        QCOMPARE(int(form_->Db().SatTpCounts[sat]), before + 1);
        const int tp = form_->SelectedTp();
        QVERIFY(tp >= 0);
        QCOMPARE(form_->Db().Tp.data[tp].Freq, std::string("11900"));
        QCOMPARE(form_->Db().Tp.data[tp].TpNo, uint32_t(before + 1));
        QVERIFY(form_->Doc().DataChanged());
    }

    void addsAreRefusedAtTheirLimits() {
        // A satellite that already has 150 transponders.
        auto db = sample::BuildSample();
        while (db->SatTpCounts[5] < 150) sample::AddTp(*db, 5, 3700 + db->SatTpCounts[5], false, 3000, 0);
        const QString path = WriteDataFile(*db, env_->path(QStringLiteral("full-sat.bin")), true);
        OpenThroughMenu(*form_, path);
        ClickRow(Widget<StringGrid>(*form_, "SG_Sat"), 6);
        form_->New_TpClick();
        QCOMPARE(TakeShownTexts(), QStringList{Msg(dbase::msg::MaxTranspondersPerSat)});
        QVERIFY(!form_->Doc().DataChanged());
    }

    void addingATvProgramSelectsItsRow() {
        ClickRow(Widget<StringGrid>(*form_, "SG_TP"), 1);
        QVERIFY(Widget<QToolButton>(*form_, "SB_NewTv")->isEnabled());
        const int count = form_->Db().ProgCount;
        AnswerDialog<TFormEditProg>([](TFormEditProg& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("Addition channel data"));
            d.Edit_Name->setText(QStringLiteral("Fresh TV"));
            d.Edit_Vid->setText(QStringLiteral("100"));
            d.Edit_Aud->setText(QStringLiteral("101"));
            d.Edit_PCR->setText(QStringLiteral("100"));
            d.SB_OKClick();
        });
        Widget<QToolButton>(*form_, "SB_NewTv")->click();
        QCOMPARE(int(form_->Db().ProgCount), count + 1);
        QCOMPARE(form_->SelectedTv(), count);
        QCOMPARE(CellText(Widget<StringGrid>(*form_, "SG_TV"), Widget<StringGrid>(*form_, "SG_TV")->Row(), 1),
                 QStringLiteral("Fresh TV"));
    }

    void deletingAProgramAsksAndShowsTheNextOne() {
        ClickRow(Widget<StringGrid>(*form_, "SG_TV"), 3);
        const int count = form_->Db().ProgCount;
        const QString next = CellText(Widget<StringGrid>(*form_, "SG_TV"), 4, 1);
        MessageBox::setNextAnswer(MessageBox::No);
        form_->Delete_TvClick();
        QCOMPARE(int(form_->Db().ProgCount), count);
        QVERIFY(!form_->Doc().DataChanged());

        MessageBox::setNextAnswer(MessageBox::Yes);
        form_->Delete_TvClick();
        QCOMPARE(TakeShownTexts().last(), Msg(dbase::msg::DeleteProgQuestion));
        QCOMPARE(int(form_->Db().ProgCount), count - 1);
        QCOMPARE(CellText(Widget<StringGrid>(*form_, "SG_TV"), 3, 1), next);
        QVERIFY(ListTexts(Widget<QListWidget>(*form_, "LB_Info")).contains(next));
        QVERIFY(form_->Doc().DataChanged());
    }

    void deletingTheLastTransponderLeavesThePlaceholder() {
        ClickRow(Widget<StringGrid>(*form_, "SG_Sat"), 6); // the C-band satellite: two transponders
        const int sat = form_->SelectedSat();
        const int tpCount = form_->Db().TpCount;
        for (int i = 0; i < 2; ++i) {
            ClickRow(Widget<StringGrid>(*form_, "SG_TP"), 1);
            MessageBox::setNextAnswer(MessageBox::Yes);
            form_->Delete_TpClick();
        }
        QCOMPARE(int(form_->Db().SatTpCounts[sat]), 1);
        QCOMPARE(int(form_->Db().TpCount), tpCount - 1);
        QCOMPARE(ColumnTexts(Widget<StringGrid>(*form_, "SG_TP"), 1).first(), QStringLiteral("04000"));
        QCOMPARE(ColumnTexts(Widget<StringGrid>(*form_, "SG_TP"), 3).first(), QStringLiteral("28125"));
    }

    void deletingEmptyTranspondersKeepsThoseWithPrograms() {
        ClickRow(Widget<StringGrid>(*form_, "SG_Sat"), 1);
        const int sat = form_->SelectedSat();
        MessageBox::setNextAnswer(MessageBox::Yes);
        form_->Del_All_Empty_TpClick();
        const dbase::Database& db = form_->Db();
        int left = 0;
        for (int t = 0; t < dbase::kTpSlots; ++t) {
            if (db.Tp.data[t].Used != 1 || db.Tp.data[t].SatIndex != sat) continue;
            ++left;
            bool carries = false;
            for (int p = 0; p < db.ProgCount; ++p) carries |= db.Prog.data[p].TpIndex == uint32_t(t);
            QVERIFY(carries);
        }
        QCOMPARE(left, int(db.SatTpCounts[sat]));
        QCOMPARE(Widget<StringGrid>(*form_, "SG_Sat")->Row(), 0);
    }

    void resetMarksTheDataChangedEvenWhenDeclined() {
        ClickRow(Widget<StringGrid>(*form_, "SG_Sat"), 2);
        MessageBox::setNextAnswer(MessageBox::No);
        form_->ResetSatellite1Click();
        QVERIFY(form_->Doc().DataChanged());
        QCOMPARE(form_->Db().Sat.data[1].Name, std::string("Hot Bird 13.0E"));
        ClickRow(Widget<StringGrid>(*form_, "SG_Sat"), 2);
        MessageBox::setNextAnswer(MessageBox::Yes);
        form_->ResetSatellite1Click();
        QCOMPARE(form_->Db().Sat.data[1].Name, std::string("NEWSAT"));
        QCOMPARE(int(form_->Db().SatTpCounts[1]), 1);
        QCOMPARE(CellText(Widget<StringGrid>(*form_, "SG_Sat"), 2, 1), QStringLiteral("NEWSAT"));
    }

    void importingAnIniFileReplacesTheTransponders() {
        ClickRow(Widget<StringGrid>(*form_, "SG_Sat"), 3);
        const int sat = form_->SelectedSat();
        ui::FileDialog::setNextFileName(env_->path(QStringLiteral("list.txt")));
        form_->DownLoadFromini1Click();
        QCOMPARE(TakeShownTexts(), QStringList{Msg(dbase::msg::IniWrongFile)});

        ClickRow(Widget<StringGrid>(*form_, "SG_Sat"), 3);
        ui::FileDialog::setNextFileName(IniFile());
        form_->DownLoadFromini1Click();
        QCOMPARE(TakeShownTexts().last(), Msg(dbase::msg::IniSuccess));
        QVERIFY(form_->Doc().DataChanged());
        QVERIFY(form_->Db().SatTpCounts[sat] > 10);
        QCOMPARE(form_->Db().Sat.data[sat].Name.substr(0, 3), std::string("Hot"));
    }

    // An 8 GB .ini file is refused by its size; the open file and its
    // unsaved changes stay.
    void aHugeIniFileIsRefusedAndTheOpenFileKept() {
        const QString huge = env_->path(QStringLiteral("huge.ini"));
        WriteZeros(huge, 0);
        QVERIFY(::truncate(QFile::encodeName(huge).constData(), 8LL << 30) == 0);
        ClickRow(Widget<StringGrid>(*form_, "SG_Sat"), 3);
        form_->Doc().SetDataChanged(true);
        const auto before = form_->Db().Tp.rec;
        ui::FileDialog::setNextFileName(huge);
        form_->DownLoadFromini1Click();
        const QStringList texts = TakeShownTexts();
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts[0].contains(QStringLiteral("is larger than 4 MiB")), qPrintable(texts[0]));
        QVERIFY(form_->Doc().FileOpened() && form_->Doc().DataChanged());
        QVERIFY(form_->Db().Tp.rec == before);
    }

    // Lines left out are told in a short notice with an OK button.
    void leftOutLinesAreANoticeWithAnOkButton() {
        const QString ini = env_->path(QStringLiteral("many.ini"));
        QFile f(ini);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[SATTYPE]\n1=0130\n2=Hot Bird\n[DVB]\n0=1\n1=11000,H,27500,34\n");
        for (int i = 0; i < 200000; ++i) f.write("2=x,H,1\n");
        f.close();
        ClickRow(Widget<StringGrid>(*form_, "SG_Sat"), 3);
        ui::FileDialog::setNextFileName(ini);
        form_->DownLoadFromini1Click();
        const QList<MessageBox::Shown> shown = MessageBox::shown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0].text, Msg(dbase::msg::IniSuccess));
        QCOMPARE(shown[1].kind, MessageBox::Information);
        QCOMPARE(shown[1].answer, MessageBox::Ok);
        QVERIFY(shown[1].text.startsWith(QStringLiteral("200000 transponder lines can not be stored")));
        QCOMPARE(shown[1].text.count(QLatin1Char('\n')), 10);
        MessageBox::clearShown();
    }

    void favouriteNameDialogRenamesTheGroupEverywhere() {
        AnswerDialog<TFormEditFAV>([](TFormEditFAV& d) {
            d.Edit_Name->setText(QStringLiteral("Kids"));
            d.SB_OKClick();
        });
        form_->OpenFavNameDialog(2);
        QCOMPARE(Widget<QListWidget>(*form_, "LB_FAV")->item(2)->text(), QStringLiteral("FAV.03 :  Kids"));
        QCOMPARE(guitest::FavButton(*form_, 2)->toolTip(), QStringLiteral("Kids"));
    }

private:
    static QString IniFile() { return QStringLiteral(ORBITLIST_TEST_DATA) + QStringLiteral("/ini/v4l-utils-0130.ini"); }

    std::unique_ptr<Env> env_;
    std::unique_ptr<TFormMain> form_;
};

QTEST_MAIN(TestEditCommands)
#include "test_editcommands.moc"
