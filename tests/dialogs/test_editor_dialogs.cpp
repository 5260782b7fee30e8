// The editor dialogs, driven as a user drives them: fields typed, OK pressed,
// message boxes answered by the test.
#include "SampleData.h"

#include "EditFAV/TFormEditFAV.h"
#include "EditLnb/TFormEditLnb.h"
#include "EditProg/TFormEditProg.h"
#include "EditTP/TFormEditTP.h"
#include "base/Bits.h"
#include "format/Image.h"
#include "ui/FormSetup.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <QtTest>

using ui::MessageBox;

namespace {

QStringList TakeBoxes() {
    QStringList texts;
    for (const auto& s : MessageBox::shown()) texts << s.text;
    MessageBox::clearShown();
    return texts;
}

// Shows `dialog` as the active window, the way its opener does.
void ShowActive(QDialog& dialog) {
    dialog.show();
    dialog.activateWindow();
    if (!QTest::qWaitForWindowActive(&dialog)) qWarning("dialog not active");
}

// The object names Tab visits from the focused widget until it comes back.
QStringList TabRound() {
    QStringList names;
    QWidget* const start = QApplication::focusWidget();
    for (QWidget* w = start; w && names.size() < 60;) {
        names << w->objectName();
        QTest::keyClick(w, Qt::Key_Tab);
        w = QApplication::focusWidget();
        if (w == start) break;
    }
    return names;
}

QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

} // namespace

class TestEditorDialogs : public QObject {
    Q_OBJECT
private slots:
    void init() {
        MessageBox::setInteractive(false);
        MessageBox::clearShown();
        db_ = sample::BuildSample();
    }

    void programShowsItsSelectedTrackAndEditsOnlyIt() {
        // Slot 2 has two extra tracks and plays the first of them.
        const int slot = 2, track = db_->ExtraAudioSlot(slot, 1);
        QVERIFY(track >= 0);
        TFormEditProg dlg(*db_);
        dlg.ProgSlot = slot;
        dlg.TpSlot = static_cast<int>(db_->Prog.data[slot].TpIndex);
        dlg.show();
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Change channel data"));
        QCOMPARE(dlg.Edit_Aud->text(), QString::fromStdString(db_->Audio.data[track].Pid));
        QCOMPARE(dlg.AudioSlot, track);
        QVERIFY(!dlg.Edit_Pvt->isEnabled() && !dlg.Edit_Pmt->isEnabled() && !dlg.Edit_SID->isEnabled());
        QVERIFY(!dlg.Panel_TP->isEnabled());

        const dbase::ProgRec before = db_->Prog.rec[slot];
        const std::string ownAud = db_->Prog.data[slot].AudPid;
        dlg.Edit_Aud->setText(QStringLiteral("1234"));
        dlg.Edit_Name->setText(QStringLiteral("Renamed"));
        dlg.ChB_Fav[15]->setChecked(true);
        QTest::keyClick(&dlg, Qt::Key_Return); // Enter confirms
        QVERIFY(dlg.EditAccepted);
        dbase::ChangeProgram(*db_, slot, dlg.Values); // what the window then does
        QCOMPARE(db_->Audio.data[track].Pid, std::string("1234"));
        QCOMPARE(dbase::DecodeAudio(db_->Audio.rec[track]).Pid, std::string("1234"));
        QCOMPARE(db_->Prog.data[slot].AudPid, ownAud);
        QCOMPARE(dbase::GetU16(db_->Prog.rec[slot], 14), dbase::GetU16(before, 14));
        QCOMPARE(db_->Prog.data[slot].Name, std::string("Renamed"));
        QCOMPARE(db_->Prog.data[slot].FavMask[0], '1');
        QVERIFY(TakeBoxes().isEmpty());
    }

    void programValidationRefusesInOrder() {
        TFormEditProg dlg(*db_);
        dlg.ProgSlot = 0;
        dlg.TpSlot = static_cast<int>(db_->Prog.data[0].TpIndex);
        dlg.show();
        const dbase::ProgRec before = db_->Prog.rec[0];

        dlg.Edit_Name->clear();
        dlg.Edit_Vid->setText(QStringLiteral("8192"));
        dlg.SB_OKClick();
        QCOMPARE(TakeBoxes(), QStringList{QStringLiteral("It can not be empty!")});
        QCOMPARE(dlg.focusWidget(), dlg.Edit_Name);

        dlg.Edit_Name->setText(QStringLiteral("X"));
        dlg.SB_OKClick();
        QCOMPARE(TakeBoxes(), QStringList{QStringLiteral("Illegal Data!")});
        QVERIFY(dlg.Edit_Vid->text().isEmpty()); // cleared

        dlg.Edit_Vid->setText(QStringLiteral("8191"));
        dlg.Edit_PCR->setText(QStringLiteral(" 12"));
        dlg.SB_OKClick();
        QCOMPARE(TakeBoxes(), QStringList{QStringLiteral("Illegal Data!")});
        QVERIFY(dlg.Edit_PCR->text().isEmpty());
        QVERIFY(!dlg.EditAccepted);
        QVERIFY(db_->Prog.rec[0] == before); // nothing written while refused

        // A name outside ISO 8859-1 can not be stored.
        dlg.Edit_Name->setText(QStringLiteral("Kanal \u0421"));
        dlg.Edit_PCR->setText(QStringLiteral("100"));
        dlg.SB_OKClick();
        QCOMPARE(TakeBoxes(), QStringList{QStringLiteral("Illegal Data!")});
        QVERIFY(db_->Prog.rec[0] == before);
    }

    void scrambledProgramsNameTheirCaSystems() {
        const int slot = 3; // scrambled, CA ids 5, 0, 0, 0
        QCOMPARE(int(db_->Prog.data[slot].IsFree), 0);
        TFormEditProg dlg(*db_);
        dlg.ProgSlot = slot;
        dlg.show();
        QCOMPARE(dlg.Edit_CA[0]->text(), QStringLiteral("Viaccess"));
        for (int k = 1; k < 4; ++k) {
            QVERIFY(dlg.Edit_CA[k]->text().isEmpty());
            QCOMPARE(dlg.Edit_CA[k]->palette().color(QPalette::Base), QColor(0xDD, 0xDD, 0xDD));
        }
        TFormEditProg freeDlg(*db_);
        freeDlg.ProgSlot = 0;
        freeDlg.show();
        QCOMPARE(freeDlg.Edit_CA[0]->text(), QStringLiteral("The Program is free!"));
    }

    void addingAProgramFillsTheDefaults() {
        const int count = db_->ProgCount;
        TFormEditProg dlg(*db_);
        dlg.AddRadioMode = true;
        dlg.ProgSlot = count;
        dlg.TpSlot = 0;
        dlg.show();
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Addition channel data"));
        QVERIFY(dlg.Edit_Name->text().isEmpty() && dlg.Edit_Aud->text().isEmpty());
        dlg.Edit_Name->setText(QStringLiteral("New Radio"));
        dlg.Edit_Vid->setText(QStringLiteral("0"));
        dlg.Edit_Aud->setText(QStringLiteral("301"));
        dlg.Edit_PCR->setText(QStringLiteral("301"));
        dlg.Edit_Pvt->clear();
        dlg.Edit_Pmt->clear();
        dlg.Edit_SID->clear();
        dlg.SB_OKClick();
        QVERIFY(dlg.RadioAdded);
        QCOMPARE(int(db_->ProgCount), count); // the window adds the program
        QVERIFY(dbase::AddProgram(*db_, dbase::TpSlot(dlg.TpSlot), true, dlg.Values).ok());
        QCOMPARE(int(db_->ProgCount), count + 1);
        const dbase::ProgData& p = db_->Prog.data[count];
        QCOMPARE(int(p.IsRadio), 1);
        QCOMPARE(p.PvtPid, std::string("8191"));
        QCOMPARE(p.PmtPid, std::string("8191"));
        QCOMPARE(p.ServiceId, std::string("0"));
        QCOMPARE(int(db_->Prog.rec[count][9]), 4); // the stored track count of a new program
    }

    void transponderLimitsAndFixedPolarity() {
        TFormEditTP dlg(*db_);
        dlg.TpSlot = 0;
        db_->Sat.data[db_->Tp.data[0].SatIndex].LnbPower = 2; // "13": the voltage fixes the polarisation
        dlg.show();
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Change transponder data"));
        QVERIFY(!dlg.CB_Pol->isEnabled());
        dlg.Edit_Fre->setText(QStringLiteral("999"));
        dlg.SB_OKClick();
        QCOMPARE(TakeBoxes(), QStringList{QStringLiteral("Illegal Data!")});
        QVERIFY(dlg.Edit_Fre->text().isEmpty());
        dlg.Edit_Fre->setText(QStringLiteral("01000"));
        dlg.Edit_Sym->setText(QStringLiteral("45000"));
        dlg.CB_FEC->setCurrentIndex(6);
        dlg.SB_OKClick();
        QVERIFY(dlg.EditAccepted);
        dbase::ChangeTransponder(*db_, 0, dlg.Values);
        QCOMPARE(db_->Tp.data[0].Freq, std::string("1000"));
        QCOMPARE(db_->Tp.data[0].FecText, std::string("7/8"));

        TFormEditTP add(*db_);
        add.AddTpMode = true;
        add.SatSlot = 1;
        add.show();
        QCOMPARE(add.windowTitle(), QStringLiteral("Addition transponder data"));
        QVERIFY(add.CB_Pol->isEnabled());
        const int before = db_->TpCount;
        add.Edit_Fre->setText(QStringLiteral("12000"));
        add.Edit_Sym->setText(QStringLiteral("27500"));
        add.CB_Pol->setCurrentIndex(1);
        add.SB_OKClick();
        QVERIFY(add.EditAccepted);
        int added = -1;
        QVERIFY(dbase::AddTransponder(*db_, dbase::SatSlot(1), add.Values, &added).ok());
        QCOMPARE(added, add.TpSlot);
        QCOMPARE(int(db_->TpCount), before + 1);
        QCOMPARE(db_->Tp.data[add.TpSlot].PolText, std::string("V"));
        QCOMPARE(int(db_->Tp.rec[add.TpSlot][3]), 255);
    }

    void satelliteTypesPresetTheirOscillators() {
        TFormEditLnb dlg(*db_);
        dlg.SatSlot = 0; // a Universal satellite
        dlg.show();
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Edit Satellites"));
        QCOMPARE(dlg.Edit_Lon->text(), QStringLiteral("19.2"));
        QVERIFY(!dlg.CB_High->isEnabled() && !dlg.CB_12V->isEnabled());
        QVERIFY(!dlg.CB_22K->isEnabled());

        dlg.CB_Type->setCurrentIndex(2);
        dlg.CB_TypeChange();
        QCOMPARE(dlg.CB_Low->currentText(), QStringLiteral("05150"));
        QCOMPARE(dlg.CB_High->currentText(), QStringLiteral("05750"));
        QVERIFY(!dlg.CB_Low->isEnabled());

        dlg.CB_Type->setCurrentIndex(0);
        dlg.CB_TypeChange();
        QCOMPARE(dlg.CB_Low->currentText(), QStringLiteral("5150"));
        dlg.CB_Low->setEditText(QStringLiteral("10600"));
        QCOMPARE(dlg.CB_High->currentText(), QStringLiteral("10600")); // one oscillator

        dlg.Edit_Lon->setText(QStringLiteral("360.1"));
        dlg.SB_OKClick();
        QCOMPARE(TakeBoxes(), QStringList{QStringLiteral("Illegal Data!")});
        QVERIFY(dlg.Edit_Lon->text().isEmpty());
        dlg.Edit_Lon->setText(QStringLiteral("23.5"));
        dlg.CB_Dis->setCurrentIndex(3);
        dlg.SB_OKClick();
        QVERIFY(dlg.EditAccepted);
        dbase::ChangeSatellite(*db_, 0, dlg.Values);
        QCOMPARE(dbase::GetU16(db_->Sat.rec[0], 0), uint16_t(10600));
        QCOMPARE(dbase::GetU16(db_->Sat.rec[0], 2), uint16_t(10600));
        QCOMPARE(dbase::GetU16(db_->Sat.rec[0], 6), uint16_t(235));
        QCOMPARE(int(db_->Sat.rec[0][11]), 0x03);
    }

    void universalAlwaysSavesLow9750AndAutoToneIsFixed() {
        db_->Sat.data[1].Tone22K = 2;
        db_->Sat.rec[1][10] = 2;
        TFormEditLnb dlg(*db_);
        dlg.SatSlot = 1;
        dlg.show();
        QCOMPARE(dlg.CB_22K->count(), 1);
        QCOMPARE(dlg.CB_22K->currentText(), QStringLiteral("Auto"));
        dlg.CB_Low->setEditText(QStringLiteral("9999"));
        dlg.SB_OKClick();
        QVERIFY(dlg.EditAccepted);
        dbase::ChangeSatellite(*db_, 1, dlg.Values);
        QCOMPARE(dbase::GetU16(db_->Sat.rec[1], 0), uint16_t(9750));
        QCOMPARE(int(db_->Sat.rec[1][10]), 2);

        db_->Sat.data[2].Tone22K = 7; // damaged: reported once, the dialog stays usable
        TFormEditLnb odd(*db_);
        odd.SatSlot = 2;
        odd.show();
        QTRY_VERIFY(!MessageBox::shown().isEmpty());
        QCOMPARE(TakeBoxes(), QStringList{QStringLiteral("22 K Setting error!")});
        QCOMPARE(odd.CB_22K->currentIndex(), -1);
    }

    void favouriteNamesFitTheirSlot() {
        TFormEditFAV dlg(*db_);
        dlg.Group = 11;
        dlg.show();
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Change favor name"));
        dlg.Edit_Name->setText(QStringLiteral("ABCDEFGHIJKLMNO"));
        dlg.SB_OKClick();
        QVERIFY(dlg.Renamed);
        QVERIFY(dbase::SetFavName(*db_, 11, dlg.Name).ok());
        QCOMPARE(db_->FavNames[11], std::string("ABCDEFGHIJKLMNO"));
        QCOMPARE(int(db_->FavNameBlock[16 * 11 + 15]), 0);
        // Typing stops at 15 characters.
        dlg.Edit_Name->clear();
        QTest::keyClicks(dlg.Edit_Name, QStringLiteral("0123456789ABCDEFG"));
        QCOMPARE(dlg.Edit_Name->text().size(), 15);
    }

    void dialogsOpenInTheirFirstFieldAndTabDownToTheButtons() {
        const QStringList buttons{"SB_OK", "SB_Cancel"};
        TFormEditFAV fav(*db_);
        fav.Group = 1;
        ShowActive(fav);
        QCOMPARE(QApplication::focusWidget(), fav.Edit_Name);
        QCOMPARE(fav.Edit_Name->selectedText(), QString::fromStdString(db_->FavNames[1]));
        QCOMPARE(TabRound(), QStringList{"Edit_Name"} + buttons);
        // Typing replaces the name; Space is a character, Enter confirms.
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("My Kids"));
        QCOMPARE(fav.Edit_Name->text(), QStringLiteral("My Kids"));
        QVERIFY(fav.isVisible());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(fav.Renamed);
        QCOMPARE(fav.Name, std::string("My Kids"));

        TFormEditTP tp(*db_);
        tp.TpSlot = 1;
        ShowActive(tp);
        QCOMPARE(QApplication::focusWidget(), tp.Edit_Fre);
        QCOMPARE(tp.Edit_Fre->selectedText(), tp.Edit_Fre->text());
        QCOMPARE(TabRound(), QStringList({"Edit_Fre", "CB_Pol", "Edit_Sym", "CB_FEC"}) + buttons);

        TFormEditLnb lnb(*db_);
        lnb.SatSlot = 0; // Universal: the 22 kHz list is fixed
        ShowActive(lnb);
        QCOMPARE(QApplication::focusWidget(), lnb.Edit_Name);
        QCOMPARE(lnb.Edit_Name->selectedText(), QStringLiteral("Astra 19.2E"));
        QCOMPARE(TabRound(),
                 QStringList({"Edit_Name", "CB_Type", "CB_Low", "CB_Dis", "ComboBox1", "CB_Pow", "Edit_Lon"}) +
                     buttons);

        TFormEditProg prog(*db_);
        prog.ProgSlot = 0;
        prog.TpSlot = static_cast<int>(db_->Prog.data[0].TpIndex);
        ShowActive(prog);
        QCOMPARE(QApplication::focusWidget(), prog.Edit_Name);
        QCOMPARE(prog.Edit_Name->selectedText(), QString::fromStdString(db_->Prog.data[0].Name));
        QStringList progOrder{"Edit_Name", "Edit_Vid", "Edit_Aud", "Edit_PCR", "ChB_Lock", "ChB_Ski"};
        for (int k = 1; k <= 16; ++k) progOrder << QStringLiteral("ChB_Fav%1").arg(k);
        for (int k = 0; k < 4; ++k) progOrder << QStringLiteral("Edit_CA%1").arg(k);
        QCOMPARE(TabRound(), progOrder + buttons);
        // Enter on a focused Cancel cancels; anywhere else it confirms.
        prog.SB_Cancel->setFocus();
        prog.Edit_Name->setText(QStringLiteral("Not Kept"));
        QTest::keyClick(prog.SB_Cancel, Qt::Key_Return);
        QVERIFY(!prog.isVisible());
        QVERIFY(!prog.EditAccepted);
        QVERIFY(db_->Prog.data[0].Name != "Not Kept");
    }

    void lnbFrequencyIsTypedInPlaceAndKeepsItsPresets() {
        TFormEditLnb dlg(*db_);
        dlg.SatSlot = 4; // a Single LNB
        ShowActive(dlg);
        const QStringList presets{"5150",  "9750",  "10000", "10050", "10600",
                                  "10750", "11200", "11250", "11300", "11475"};
        QCOMPARE(Items(dlg.CB_Low), presets);
        dlg.CB_Low->setFocus();
        dlg.CB_Low->lineEdit()->selectAll();
        QTest::keyClicks(dlg.CB_Low, QStringLiteral("10600"));
        QTest::keyClick(dlg.CB_Low, Qt::Key_Home);
        QTest::keyClicks(dlg.CB_Low, QStringLiteral("23"));
        QCOMPARE(dlg.CB_Low->currentText(), QStringLiteral("2310600"));
        QCOMPARE(dlg.CB_Low->lineEdit()->cursorPosition(), 2);
        QCOMPARE(dlg.CB_High->currentText(), QStringLiteral("2310600")); // one oscillator
        // Enter confirms; the refused text does not join the presets.
        QTest::keyClick(dlg.CB_Low, Qt::Key_Return);
        QCOMPARE(TakeBoxes(), QStringList{QStringLiteral("Illegal Data!")});
        QVERIFY(dlg.isVisible());
        QCOMPARE(Items(dlg.CB_Low), presets);
        QCOMPARE(dlg.CB_High->count(), 0);
        dlg.CB_Low->lineEdit()->selectAll();
        QTest::keyClicks(dlg.CB_Low, QStringLiteral("9999"));
        QTest::keyClick(dlg.CB_Low, Qt::Key_Return);
        QVERIFY(dlg.EditAccepted);
        QCOMPARE(Items(dlg.CB_Low), presets);
        dbase::ChangeSatellite(*db_, 4, dlg.Values);
        QCOMPARE(dbase::GetU16(db_->Sat.rec[4], 0), uint16_t(9999));
        QCOMPARE(dbase::GetU16(db_->Sat.rec[4], 2), uint16_t(9999));
    }

    void toneErrorIsAPlainBoxOverTheDrawnDialog() {
        ui::SetApplicationTitle(QStringLiteral("\u3010DATABASE_ORBITLIST 1.0.7\u3011"));
        db_->Sat.data[2].Tone22K = 7;
        TFormEditLnb dlg(*db_);
        dlg.SatSlot = 2;
        MessageBox::setInteractive(true);
        struct {
            bool seen = false, dialogOnScreen = false;
            QMessageBox::Icon icon = QMessageBox::Information;
            QString title, text;
            QMessageBox::StandardButtons buttons;
        } box;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!shown) return;
            watch.stop();
            box = {true,          dlg.windowHandle() && dlg.windowHandle()->isExposed(),
                   shown->icon(), shown->windowTitle(),
                   shown->text(), shown->standardButtons()};
            shown->accept();
        });
        watch.start(5);
        dlg.show();
        QTRY_VERIFY(box.seen);
        MessageBox::setInteractive(false);
        QCOMPARE(box.text, QStringLiteral("22 K Setting error!"));
        QVERIFY(box.dialogOnScreen);
        QCOMPARE(box.icon, QMessageBox::NoIcon);
        QCOMPARE(box.title, QStringLiteral("\u3010DATABASE_ORBITLIST 1.0.7\u3011"));
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(dlg.isVisible()); // and the dialog stays usable
    }

    void favouriteNameDialogHasItsWidth() {
        TFormEditFAV dlg(*db_);
        dlg.show();
        QCOMPARE(dlg.width(), 260);
        QCOMPARE(dlg.minimumWidth(), dlg.maximumWidth());
    }

    void longStoredTextsAreShownWhole() {
        // A service id of five digits is shown and kept whole, although the
        // field takes only four typed characters.
        dbase::PutU16(db_->Prog.rec[0], 16, 28106);
        db_->Prog.data[0].ServiceId = "28106";
        TFormEditProg dlg(*db_);
        dlg.ProgSlot = 0;
        dlg.show();
        QCOMPARE(dlg.Edit_SID->text(), QStringLiteral("28106"));
        dlg.SB_OKClick();
        QVERIFY(dlg.EditAccepted);
        dbase::ChangeProgram(*db_, 0, dlg.Values);
        QCOMPARE(dbase::GetU16(db_->Prog.rec[0], 16), uint16_t(28106));
    }

private:
    std::unique_ptr<dbase::Database> db_;
};

QTEST_MAIN(TestEditorDialogs)
#include "test_editor_dialogs.moc"
