// A write through the communication dialog: Esc, Cancel and Restart while
// the receiver's flash is being written, and the verify offered after
// "Update Success!".
#include "UpgradeTestSupport.h"

#include "ui/MessageBox.h"

#include <QComboBox>
#include <QTest>
#include <QToolButton>

#include <filesystem>

using namespace upgradetest;
using ui::MessageBox;
using upgrade::Outcome;
using upgrade::TFormUpgrade;

namespace {

const QString kQuestion = QString::fromLatin1(TFormUpgrade::kStopFlashQuestion);

QStringList ShownTexts() {
    QStringList texts;
    for (const MessageBox::Shown& s : MessageBox::shown()) texts << s.text;
    MessageBox::clearShown();
    return texts;
}

} // namespace

class TestUpgradeWrite : public QObject {
    Q_OBJECT

private:
    FixedPorts ports_;
    std::unique_ptr<testutil::TempDir> dir_;
    std::string file_;

    // A dialog writing the sample's Default data to `loader`.
    std::unique_ptr<TFormUpgrade> WriteTo(const sim::PtyLoader& loader) {
        ports_.devices = {DeviceOf(loader)};
        auto dialog = std::make_unique<TFormUpgrade>(TFormUpgrade::Command::Write, QString::fromStdString(file_), false,
                                                     Options(ports_));
        dialog->show();
        return dialog;
    }
    static sim::LoaderConfig SlowFlash() {
        sim::LoaderConfig c;
        c.eraseMs = 400;
        c.programMs = 400;
        return c;
    }

private slots:
    void initTestCase() { MessageBox::setInteractive(false); }
    void init() {
        dir_ = std::make_unique<testutil::TempDir>();
        file_ = dir_->path("w.bin");
        testutil::WriteFile(file_, linktest::SampleFile(false));
        MessageBox::clearShown();
    }

    void escDoesNothingWhileTheFlashIsWritten() {
        auto loader = StartLoader(SlowFlash());
        auto dialog = WriteTo(*loader);
        StateLog log(*dialog);
        dialog->StartCommand();
        QTRY_COMPARE_WITH_TIMEOUT(log.now(), QStringLiteral("Erase flash..."), 10000);
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        QVERIFY(dialog->isVisible());
        QVERIFY(ShownTexts().isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(log.now(), QStringLiteral("Update Success!"), 10000);
        loader->With([](sim::LoaderCore& core) { QCOMPARE(core.WritesCompleted(), 1); });
        // Once programmed, Esc is Cancel again.
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->Result().outcome, Outcome::Success);
    }

    void cancelAndRestartAskFirstAndOnlyYesStops() {
        auto loader = StartLoader(SlowFlash());
        auto dialog = WriteTo(*loader);
        StateLog log(*dialog);
        dialog->StartCommand();
        QTRY_COMPARE_WITH_TIMEOUT(log.now(), QStringLiteral("Erase flash..."), 10000);
        // Unanswered (Cancel): nothing stops.
        QTest::mouseClick(Child<QToolButton>(*dialog, "SB_Cancel"), Qt::LeftButton);
        QTest::mouseClick(Child<QToolButton>(*dialog, "SpeedButton1"), Qt::LeftButton);
        QCOMPARE(ShownTexts(), (QStringList{kQuestion, kQuestion}));
        QVERIFY(dialog->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(log.now(), QStringLiteral("Program flash..."), 10000);
        // Yes to Restart: the write starts over and finishes.
        MessageBox::setNextAnswer(MessageBox::Yes);
        QTest::mouseClick(Child<QToolButton>(*dialog, "SpeedButton1"), Qt::LeftButton);
        QCOMPARE(ShownTexts(), QStringList{kQuestion});
        // Yes to Cancel: the dialog closes and the write stops.
        QTRY_COMPARE_WITH_TIMEOUT(log.texts.count(QStringLiteral("Erase flash...")), 2, 10000);
        MessageBox::setNextAnswer(MessageBox::Yes);
        QTest::mouseClick(Child<QToolButton>(*dialog, "SB_Cancel"), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->Result().outcome, Outcome::Cancelled);
        QCOMPARE(log.texts.count(QStringLiteral("Update Success!")), 0);
    }

    void connectingAndReadBacksStopWithoutAQuestion() {
        auto silent = StartLoader(sim::Fault::SilentConnect);
        auto dialog = WriteTo(*silent);
        StateLog log(*dialog);
        dialog->StartCommand();
        QTRY_COMPARE_WITH_TIMEOUT(log.now(), QStringLiteral("Connectting..."), 5000);
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->Result().outcome, Outcome::Cancelled);

        auto loader = StartLoader(sim::LoaderConfig{});
        ports_.devices = {DeviceOf(*loader)};
        TFormUpgrade read(TFormUpgrade::Command::ReadBack, QString::fromStdString(dir_->path("r.bin")), true,
                          Options(ports_));
        StateLog readLog(read);
        read.show();
        read.StartCommand();
        // On a failure the message lists the states the read went through.
        QTRY_VERIFY2_WITH_TIMEOUT(readLog.now().startsWith(QStringLiteral("Transfering:")),
                                  qPrintable(readLog.texts.join(QStringLiteral(" | "))), 10000);
        QTest::mouseClick(Child<QToolButton>(read, "SB_Cancel"), Qt::LeftButton);
        QVERIFY(!read.isVisible());
        QVERIFY(ShownTexts().isEmpty());
    }

    void verifyIsOfferedAfterASuccessfulWrite() {
        auto loader = StartLoader();
        auto dialog = WriteTo(*loader);
        StateLog log(*dialog);
        auto* verify = Child<QToolButton>(*dialog, "SB_Verify");
        dialog->StartCommand();
        QTRY_VERIFY_WITH_TIMEOUT(log.now().startsWith(QStringLiteral("Transfering Data:")), 10000);
        QVERIFY(!verify->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(log.now(), QStringLiteral("Update Success!"), 10000);
        QVERIFY(verify->isVisible());
        QCOMPARE(verify->text(), QStringLiteral("Verify"));
        // Beside Restart and Cancel, which stay where they were.
        QCOMPARE(Child<QToolButton>(*dialog, "SB_Cancel")->geometry().left(), 215);
        QVERIFY(verify->geometry().left() > Child<QToolButton>(*dialog, "SB_Cancel")->geometry().right());

        log.texts.clear();
        QTest::mouseClick(verify, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(log.now(), QStringLiteral("Verify OK"), 10000);
        QVERIFY(log.texts.contains(QStringLiteral("Transfering:  98%")));
        QVERIFY(!log.texts.contains(QStringLiteral("Update Success!")));
        loader->With([](sim::LoaderCore& core) { QCOMPARE(core.CountIn(dbase::kFrameReadDefault), 1); });
        QVERIFY(verify->isEnabled());
        // Nothing is written to disk.
        QCOMPARE(dir_->Entries(), size_t{1});

        // The receiver's flash no longer holding what was written.
        loader->With([](sim::LoaderCore& core) {
            auto held = core.Image(false);
            held[10] ^= 1;
            held[2048 * 40] ^= 1;
            core.SetImage(false, held);
        });
        QTest::mouseClick(verify, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(log.now(), QStringLiteral("Verify failed: 2 of 64 blocks differ."), 10000);
        QVERIFY(dialog->isVisible());
        QTest::mouseClick(Child<QToolButton>(*dialog, "SB_Cancel"), Qt::LeftButton);
        QCOMPARE(dialog->Result().outcome, Outcome::Success); // the write itself worked
    }

    void aVerifyWithoutAnAnswerRunsUntilCancel() {
        auto loader = StartLoader();
        auto dialog = WriteTo(*loader);
        StateLog log(*dialog);
        dialog->StartCommand();
        QTRY_COMPARE_WITH_TIMEOUT(log.now(), QStringLiteral("Update Success!"), 10000);
        loader->With([](sim::LoaderCore& core) { core.SetConfig({sim::Fault::SilentConnect}); });
        QTest::mouseClick(Child<QToolButton>(*dialog, "SB_Verify"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(log.now(), QStringLiteral("Connectting..."), 5000);
        QVERIFY(!Child<QToolButton>(*dialog, "SB_Verify")->isEnabled());
        QTest::qWait(700); // past an attempt's wait
        QCOMPARE(log.now(), QStringLiteral("Connectting..."));
        // Cancel ends it as it ends a read-back: at once, without a question.
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
        QVERIFY(ShownTexts().isEmpty());
        QCOMPARE(dialog->Result().outcome, Outcome::Success);
    }

    void restartAfterASuccessWritesAgainAndHidesVerify() {
        auto loader = StartLoader();
        auto dialog = WriteTo(*loader);
        StateLog log(*dialog);
        dialog->StartCommand();
        QTRY_COMPARE_WITH_TIMEOUT(log.now(), QStringLiteral("Update Success!"), 10000);
        QTest::mouseClick(Child<QToolButton>(*dialog, "SpeedButton1"), Qt::LeftButton);
        QVERIFY(!Child<QToolButton>(*dialog, "SB_Verify")->isVisible());
        QVERIFY(ShownTexts().isEmpty()); // the flash is not being written: no question
        QTRY_COMPARE_WITH_TIMEOUT(log.texts.count(QStringLiteral("Update Success!")), 2, 10000);
        QVERIFY(Child<QToolButton>(*dialog, "SB_Verify")->isVisible());
        loader->With([](sim::LoaderCore& core) { QCOMPARE(core.WritesCompleted(), 2); });
        QTest::mouseClick(Child<QToolButton>(*dialog, "SB_Cancel"), Qt::LeftButton);
    }
};

QTEST_MAIN(TestUpgradeWrite)
#include "test_upgrade_write.moc"
