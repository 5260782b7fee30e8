// The communication dialog under QtTest: its form, a read-back and a write
// through it against the simulated loader on pseudo-terminals, Cancel,
// Restart and the port choice.
#include "UpgradeTestSupport.h"

#include "base/Messages.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <memory>

using upgrade::LinkOptions;
using upgrade::Outcome;
using upgrade::TFormUpgrade;

using namespace upgradetest;

class TestUpgrade : public QObject {
    Q_OBJECT

private:
    LinkOptions Options() { return upgradetest::Options(ports_); }
    void UsePorts(std::initializer_list<const sim::PtyLoader*> loaders) {
        ports_.devices.clear();
        int n = 0;
        for (const sim::PtyLoader* l : loaders)
            ports_.devices.append({QStringLiteral("pty%1").arg(n++), QString::fromStdString(l->DevicePath())});
    }

    FixedPorts ports_;

private slots:
    void theFormHasEveryComponent() {
        ports_.devices = {{"ttyS0", "/dev/ttyS0"}};
        TFormUpgrade write(TFormUpgrade::Command::Write, "w.bin", true, Options());
        QCOMPARE(write.size(), QSize(415, 180));
        QCOMPARE(write.minimumSize(), write.maximumSize());
        QCOMPARE(write.windowTitle(), QStringLiteral("Communication Settings  (Upgrade Data)"));
        QVERIFY(!(write.windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(Child<QLabel>(write, "Label2")->text(), QStringLiteral("Settings  COM:"));
        QCOMPARE(Child<QLabel>(write, "Label7")->text(), QStringLiteral("Baudrates:"));
        QCOMPARE(Child<QLabel>(write, "Label_FileName")->text(), QStringLiteral("File Name:"));
        QCOMPARE(Child<QLabel>(write, "Label_State")->text(), QStringLiteral("Nonce State:"));
        QCOMPARE(Child<QLabel>(write, "Label2")->palette().color(QPalette::WindowText), QColor(0, 0, 0x80));
        auto* bau = Child<QLineEdit>(write, "Edit_Bau");
        QCOMPARE(bau->text(), QStringLiteral("115200[bps]"));
        QVERIFY(bau->isReadOnly());
        QVERIFY(Child<QLineEdit>(write, "Edit_FileName")->isReadOnly());
        QVERIFY(Child<QLineEdit>(write, "Edit_Start")->isReadOnly());
        QCOMPARE(Child<QLineEdit>(write, "Edit_Start")->font().pixelSize(), 12);
        QCOMPARE(write.font().family(), QStringLiteral("Arial"));
        QCOMPARE(write.font().pixelSize(), 14);
        auto* combo = Child<QComboBox>(write, "CB_Com");
        QCOMPARE(combo->count(), 11); // and "Other port..."
        QCOMPARE(combo->currentIndex(), 0);
        QCOMPARE(combo->maxVisibleItems(), 10);
        QCOMPARE(combo->itemText(0), QStringLiteral("COM.01  ttyS0"));
        QCOMPARE(combo->itemText(9), QStringLiteral("COM.10"));
        QCOMPARE(combo->itemText(10), QStringLiteral("Other port\u2026"));
        auto* bar = Child<QProgressBar>(write, "ProgressBarMain");
        QCOMPARE(bar->size(), QSize(388, 10));
        QCOMPARE(bar->value(), 0);
        auto* lamp = Child<upgrade::ComLamp>(write, "Shape_ComState");
        QCOMPARE(lamp->size(), QSize(11, 11));
        QCOMPARE(lamp->color(), QColor(0xFF, 0, 0));
        QCOMPARE(Child<QFrame>(write, "PanelOK")->height(), 28);
        QVERIFY(Child<QFrame>(write, "Panel_Form")->isAncestorOf(combo));
        auto* restart = Child<QToolButton>(write, "SpeedButton1");
        auto* cancel = Child<QToolButton>(write, "SB_Cancel");
        QCOMPARE(restart->text(), QStringLiteral("Restart"));
        QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
        QVERIFY(restart->font().bold() && restart->autoRaise() && !restart->icon().isNull());
        QCOMPARE(cancel->palette().color(QPalette::ButtonText), QColor(0x80, 0, 0));
        QVERIFY(write.findChild<QObject*>("MSComm"));
    }

    void aReadBackComesInAndClosesTheDialog() {
        testutil::TempDir dir;
        auto loader = StartLoader();
        UsePorts({loader.get()});
        const QString out = QString::fromStdString(dir.path("received.bin"));
        TFormUpgrade dialog(TFormUpgrade::Command::ReadBack, out, true, Options());
        StateLog log(dialog);
        dialog.show();
        dialog.StartCommand();
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), 10000);
        QCOMPARE(dialog.Result().outcome, Outcome::Success);
        QCOMPARE(testutil::ReadFile(out.toStdString()), linktest::SampleFile(true));
        QCOMPARE(Child<QLineEdit>(dialog, "Edit_FileName")->text(), out);
        QVERIFY(log.texts.contains("Connect Success!"));
        const qsizetype last = log.texts.indexOf("Transfer Success!");
        QVERIFY(last > 0);
        QCOMPARE(log.texts[last - 1], QStringLiteral("Transfering:  99%"));
        QCOMPARE(log.texts.mid(last), (QStringList{"Transfer Success!", "Update Success!",
                                                   QString::fromLatin1(dbase::msg::OpeningReceived)}));
        auto* bar = Child<QProgressBar>(dialog, "ProgressBarMain");
        QCOMPARE(bar->maximum(), 1024);
        QCOMPARE(bar->value(), 1024);
        QCOMPARE(Child<upgrade::ComLamp>(dialog, "Shape_ComState")->color(), TFormUpgrade::kLampOpen);
        QVERIFY(!Child<QComboBox>(dialog, "CB_Com")->isEnabled());
    }

    void aWriteStaysOpenUntilCancel() {
        testutil::TempDir dir;
        auto loader = StartLoader();
        loader->With([](sim::LoaderCore& core) { core.SetImage(false, {}); });
        UsePorts({loader.get()});
        const std::string file = dir.path("default.bin");
        testutil::WriteFile(file, linktest::SampleFile(false));
        TFormUpgrade dialog(TFormUpgrade::Command::Write, QString::fromStdString(file), false, Options());
        StateLog log(dialog);
        dialog.show();
        dialog.StartCommand();
        QTRY_COMPARE_WITH_TIMEOUT(log.now(), QStringLiteral("Update Success!"), 10000);
        QTest::qWait(200); // the pause after the command passes; the dialog stays
        QVERIFY(dialog.isVisible());
        QVERIFY(log.texts.contains("Transfering Data:  1%"));
        QVERIFY(log.texts.contains("Program flash Success!"));
        QCOMPARE(Child<QProgressBar>(dialog, "ProgressBarMain")->maximum(), 512);
        loader->With([](sim::LoaderCore& core) { QCOMPARE(core.Image(false), linktest::SampleFile(false)); });
        QTest::mouseClick(Child<QToolButton>(dialog, "SB_Cancel"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.Result().outcome, Outcome::Success);
        QCOMPARE(Child<upgrade::ComLamp>(dialog, "Shape_ComState")->color(), TFormUpgrade::kLampClosed);
    }

    void cancelWhileConnectingClosesAtOnce() {
        testutil::TempDir dir;
        auto loader = StartLoader(sim::Fault::SilentConnect);
        UsePorts({loader.get()});
        const std::string out = dir.path("r.bin");
        QElapsedTimer timer;
        {
            TFormUpgrade dialog(TFormUpgrade::Command::ReadBack, QString::fromStdString(out), false, Options());
            StateLog log(dialog);
            dialog.show();
            dialog.StartCommand();
            QTRY_COMPARE_WITH_TIMEOUT(log.now(), QStringLiteral("Connectting..."), 5000);
            QTest::qWait(600); // a second attempt is under way
            QCOMPARE(Child<upgrade::ComLamp>(dialog, "Shape_ComState")->color(), TFormUpgrade::kLampOpen);
            QVERIFY(Child<QFrame>(dialog, "Panel_Form")->isEnabled());
            QTest::mouseClick(Child<QToolButton>(dialog, "SB_Cancel"), Qt::LeftButton);
            QVERIFY(!dialog.isVisible());
            QCOMPARE(dialog.Result().outcome, Outcome::Cancelled);
            timer.start();
        }
        QVERIFY2(timer.elapsed() < 1000, "the exchange ends at its next poll");
        QVERIFY(!std::filesystem::exists(out));
    }

    void restartSupersedesTheRunningExchangeQuietly() {
        testutil::TempDir dir;
        auto loader = StartLoader(sim::Fault::SilentConnect);
        UsePorts({loader.get()});
        const std::string out = dir.path("r.bin");
        TFormUpgrade dialog(TFormUpgrade::Command::ReadBack, QString::fromStdString(out), false, Options());
        StateLog log(dialog);
        dialog.show();
        dialog.StartCommand();
        QTRY_COMPARE_WITH_TIMEOUT(log.now(), QStringLiteral("Connectting..."), 5000);
        loader->With([](sim::LoaderCore& core) { core.SetConfig({}); });
        QTest::mouseClick(Child<QToolButton>(dialog, "SpeedButton1"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), 10000);
        QCOMPARE(dialog.Result().outcome, Outcome::Success);
        QVERIFY(!log.texts.contains("Connect failed!"));
        QVERIFY(!log.texts.contains("Update failed!"));
        QCOMPARE(testutil::ReadFile(out), linktest::SampleFile(false));
    }

    void choosingAPortStartsOverOnIt() {
        testutil::TempDir dir;
        auto silent = StartLoader(sim::Fault::SilentConnect);
        auto working = StartLoader();
        UsePorts({silent.get(), working.get()});
        const std::string out = dir.path("r.bin");
        TFormUpgrade dialog(TFormUpgrade::Command::ReadBack, QString::fromStdString(out), true, Options());
        StateLog log(dialog);
        dialog.show();
        dialog.StartCommand();
        QTRY_COMPARE_WITH_TIMEOUT(log.now(), QStringLiteral("Connectting..."), 5000);
        auto* combo = Child<QComboBox>(dialog, "CB_Com");
        combo->setCurrentIndex(1);
        emit combo->activated(1);
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), 10000);
        QCOMPARE(dialog.Result().outcome, Outcome::Success);
        QVERIFY(!log.texts.contains("Update failed!"));
        QCOMPARE(testutil::ReadFile(out), linktest::SampleFile(true));
        silent->With([](sim::LoaderCore& core) { QCOMPARE(core.CountIn(dbase::kFrameReadChannel), 0); });
        working->With([](sim::LoaderCore& core) { QCOMPARE(core.CountIn(dbase::kFrameReadChannel), 1); });
    }

    void aFailedCommandShowsUpdateFailedAndCloses() {
        testutil::TempDir dir;
        auto loader = StartLoader(sim::Fault::BadSum, 7);
        UsePorts({loader.get()});
        const std::string out = dir.path("r.bin");
        testutil::WriteFile(out, {1, 2, 3});
        TFormUpgrade dialog(TFormUpgrade::Command::ReadBack, QString::fromStdString(out), false, Options());
        StateLog log(dialog);
        dialog.show();
        dialog.StartCommand();
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), 10000);
        QCOMPARE(dialog.Result().outcome, Outcome::Failed);
        QCOMPARE(log.texts.mid(log.texts.size() - 2), (QStringList{"Transfer failed!", "Update failed!"}));
        QVERIFY(Child<QComboBox>(dialog, "CB_Com")->isEnabled());
        QCOMPARE(testutil::ReadFile(out), (std::vector<uint8_t>{1, 2, 3}));
    }

    void aRestartThatFailsKeepsTheDialog() {
        testutil::TempDir dir;
        auto loader = StartLoader(sim::Fault::SilentConnect);
        UsePorts({loader.get()});
        TFormUpgrade dialog(TFormUpgrade::Command::ReadBack, QString::fromStdString(dir.path("r.bin")), false,
                            Options());
        StateLog log(dialog);
        dialog.show();
        dialog.StartCommand();
        QTRY_COMPARE_WITH_TIMEOUT(log.now(), QStringLiteral("Connectting..."), 5000);
        loader->With([](sim::LoaderCore& core) {
            sim::LoaderConfig bad;
            bad.fault = sim::Fault::BadSum;
            core.SetConfig(bad);
        });
        QTest::mouseClick(Child<QToolButton>(dialog, "SpeedButton1"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(log.now(), QStringLiteral("Update failed!"), 10000);
        QTest::qWait(100);
        QVERIFY(dialog.isVisible());
        QVERIFY(Child<QComboBox>(dialog, "CB_Com")->isEnabled());
        QCOMPARE(log.texts.count("Update failed!"), 1);
        QTest::mouseClick(Child<QToolButton>(dialog, "SB_Cancel"), Qt::LeftButton);
        QCOMPARE(dialog.Result().outcome, Outcome::Cancelled);
    }

    void theEntryPointsRunModally() {
        testutil::TempDir dir;
        auto loader = StartLoader();
        UsePorts({loader.get()});
        const std::string out = dir.path("r.bin");
        const upgrade::LinkResult read = TFormUpgrade::ReadBack(nullptr, QString::fromStdString(out), false, Options());
        QCOMPARE(read.outcome, Outcome::Success);
        QCOMPARE(testutil::ReadFile(out), linktest::SampleFile(false));

        // A file that would not open is refused before the dialog shows.
        auto bytes = linktest::SampleFile(true);
        bytes[300] ^= 0x10;
        const std::string bad = dir.path("bad.bin");
        testutil::WriteFile(bad, bytes);
        const upgrade::LinkResult refused = TFormUpgrade::Write(nullptr, QString::fromStdString(bad), true, Options());
        QCOMPARE(refused.outcome, Outcome::Refused);
        QCOMPARE(refused.message, QString::fromLatin1(dbase::msg::FileNull));
        loader->With([](sim::LoaderCore& core) { QCOMPARE(core.CountIn(dbase::kFrameWriteChannel), 0); });
    }
};

QTEST_MAIN(TestUpgrade)
#include "test_upgrade.moc"
