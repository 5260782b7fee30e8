// The shared dialog layer: scripted answers, the safe default when nothing is
// scripted, the display form of the system's texts, waiting forms that never
// cover a box, and the file-dialog filter conversion.
#include "ui/FileDialog.h"
#include "ui/FormSetup.h"
#include "ui/MessageBox.h"

#include <QTest>
#include <QWidget>

using ui::FileDialog;
using ui::MessageBox;

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        MessageBox::setInteractive(false);
        FileDialog::setInteractive(false);
    }
    void init() { MessageBox::clearShown(); }

    void unansweredBoxesTakeTheirSafeButton() {
        QCOMPARE(MessageBox::warning(nullptr, QStringLiteral("Delete?")), MessageBox::No);
        QCOMPARE(MessageBox::confirm(nullptr, QStringLiteral("Exit?")), MessageBox::Cancel);
        MessageBox::error(nullptr, QStringLiteral("Bad"));
        QCOMPARE(MessageBox::shown().size(), 3);
        QCOMPARE(MessageBox::shown()[0].kind, MessageBox::Warning);
        QCOMPARE(MessageBox::shown()[1].kind, MessageBox::Confirmation);
        QCOMPARE(MessageBox::shown()[2].kind, MessageBox::Error);
        QCOMPARE(MessageBox::shown()[2].answer, MessageBox::Ok);
    }

    void aScriptedAnswerHoldsForOneBoxOnly() {
        MessageBox::setNextAnswer(MessageBox::Yes);
        QCOMPARE(MessageBox::confirm(nullptr, QStringLiteral("Cover it?")), MessageBox::Yes);
        QCOMPARE(MessageBox::confirm(nullptr, QStringLiteral("Cover it?")), MessageBox::Cancel);
    }

    void anAnswerTheBoxDoesNotOfferIsNotTaken() {
        // A confirmation has Yes and Cancel; a scripted No must not pass as Yes.
        MessageBox::setNextAnswer(MessageBox::No);
        QCOMPARE(MessageBox::confirm(nullptr, QStringLiteral("Exit?")), MessageBox::Cancel);
    }

    void carriageReturnsBecomeLineBreaks() {
        MessageBox::error(nullptr, QStringLiteral("File length can not be matched!\r\rPlease select"));
        QCOMPARE(MessageBox::shown().last().text, QStringLiteral("File length can not be matched!\n\nPlease select"));
        QCOMPARE(ui::MessageText(std::string("a\r\nb\rc")), QStringLiteral("a\nb\nc"));
    }

    void aWaitingFormIsHiddenBeforeABoxAppears() {
        QWidget overlay(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint);
        ui::MarkAsOverlay(&overlay);
        overlay.show();
        QVERIFY(ui::OverlayVisible());
        MessageBox::error(nullptr, QStringLiteral("Decompress Error!"));
        QVERIFY(!overlay.isVisible());
        QVERIFY(MessageBox::shown().last().overlayHidden);
        MessageBox::error(nullptr, QStringLiteral("again"));
        QVERIFY(!MessageBox::shown().last().overlayHidden);
    }

    void fileDialogAnswersOnceAndRecordsTheRequest() {
        FileDialog::setNextFileName(QStringLiteral("/tmp/x.bin"));
        QCOMPARE(FileDialog::getOpenFileName(nullptr, QStringLiteral("Open File"), QStringLiteral("A|*.a"),
                                             QStringLiteral("BIN")),
                 QStringLiteral("/tmp/x.bin"));
        QCOMPARE(FileDialog::lastRequest().caption, QStringLiteral("Open File"));
        QCOMPARE(FileDialog::lastRequest().defaultSuffix, QStringLiteral("BIN"));
        QVERIFY(!FileDialog::lastRequest().save);
        // Nothing scripted: the dialog counts as cancelled.
        QVERIFY(FileDialog::getSaveFileName(nullptr, QStringLiteral("Save As..."), QString(), QString()).isEmpty());
        QVERIFY(FileDialog::lastRequest().save);
    }

    void filterConversion() {
        QCOMPARE(FileDialog::qtFilter(QStringLiteral("Settings Files(*.img)|*.img|All File(*.*)|*.*")),
                 QStringLiteral("Settings Files(*.img);;All File(*.*)"));
        QCOMPARE(FileDialog::qtFilter(QStringLiteral("Data|*.bin;*.img")), QStringLiteral("Data (*.bin *.img)"));
        // A name that already shows its several patterns keeps them once.
        QCOMPARE(FileDialog::qtFilter(QStringLiteral("Channel files (*.bin *.img)|*.bin;*.img|All File(*.*)|*.*")),
                 QStringLiteral("Channel files (*.bin *.img);;All File(*.*)"));
        QCOMPARE(FileDialog::qtFilter(QString()), QString());
    }

    void formSetupHelpers() {
        QWidget w;
        QVERIFY(!ui::IsFormScaled(&w));
        ui::ApplyFormScaling(&w);
        QVERIFY(ui::IsFormScaled(&w));
        QCOMPARE(ui::FromColorRef(14540253), QColor(221, 221, 221));
        QCOMPARE(ui::FromColorRef(0x000080), QColor(128, 0, 0));
        QCOMPARE(ui::FromLatin1(std::string("Caf\xE9")), QStringLiteral("Caf\u00E9"));
        QCOMPARE(ui::ArialPx(14, true).pixelSize(), 14);
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
