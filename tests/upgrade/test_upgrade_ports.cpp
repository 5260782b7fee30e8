// The communication dialog's port choice and what it says about ports: the
// rows as read when the dialog opens, rows without a device, "Other port...",
// its remembered device, ports that fail, and fields that stay readable.
#include "UpgradeTestSupport.h"

#include "settings/PortSetting.h"
#include "ui/InputDialog.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QProgressBar>
#include <QStyleOptionFrame>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace upgradetest;
using upgrade::Outcome;
using upgrade::TFormUpgrade;

namespace {

// Chooses row `row` of the port list as a user does.
void Choose(TFormUpgrade& dialog, int row) {
    auto* combo = Child<QComboBox>(dialog, "CB_Com");
    combo->setCurrentIndex(row);
    emit combo->activated(row);
}

const char* kNoDevice = "/dev/orbitlist-no-such-device";

} // namespace

class TestUpgradePorts : public QObject {
    Q_OBJECT

private:
    FixedPorts ports_;
    QTemporaryDir scratch_;
    QString Settings() const { return scratch_.filePath(QStringLiteral("ORBITLIST.ini")); }

private slots:
    void initTestCase() { ui::InputDialog::setInteractive(false); }
    void init() { QFile::remove(Settings()); }

    void aRowOpensTheDeviceItNamedWhenTheDialogOpened() {
        testutil::TempDir dir;
        auto loader = StartLoader();
        ports_.devices = {DeviceOf(*loader, QStringLiteral("ttyUSB0"))};
        const QString out = QString::fromStdString(dir.path("r.bin"));
        TFormUpgrade dialog(TFormUpgrade::Command::ReadBack, out, false, Options(ports_));
        QCOMPARE(Child<QComboBox>(dialog, "CB_Com")->itemText(0), QStringLiteral("COM.01  ttyUSB0"));
        // A device that shows up later would be the first in the system's
        // list now; the row still opens the device its text names.
        ports_.devices.prepend({QStringLiteral("ttyACM0"), QString::fromLatin1(kNoDevice)});
        dialog.show();
        dialog.StartCommand();
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), 10000);
        QCOMPARE(dialog.Result().outcome, Outcome::Success);
        QCOMPARE(testutil::ReadFile(out.toStdString()), linktest::SampleFile(false));
    }

    void aRowWithoutADeviceSaysSoAtOnce() {
        testutil::TempDir dir;
        auto loader = StartLoader();
        ports_.devices = {DeviceOf(*loader)};
        TFormUpgrade dialog(TFormUpgrade::Command::ReadBack, QString::fromStdString(dir.path("r.bin")), false,
                            Options(ports_));
        StateLog log(dialog);
        dialog.show();
        Choose(dialog, 2);
        QCOMPARE(log.now(), QStringLiteral("There is no serial port on COM.03."));
        QTest::qWait(100);
        QCOMPARE(log.texts, QStringList{QStringLiteral("There is no serial port on COM.03.")});
        QCOMPARE(Child<upgrade::ComLamp>(dialog, "Shape_ComState")->color(), TFormUpgrade::kLampClosed);
        QVERIFY(Child<QComboBox>(dialog, "CB_Com")->isEnabled());
        QVERIFY(dialog.isVisible());
        loader->With([](sim::LoaderCore& core) { QCOMPARE(core.BytesIn(), uint64_t{0}); });
        // Choosing the row with the loader then works as ever.
        Choose(dialog, 0);
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), 10000);
        QCOMPARE(dialog.Result().outcome, Outcome::Success);
    }

    void aCommandOnARowWithoutADeviceWaitsForAChoice() {
        ports_.devices.clear();
        TFormUpgrade dialog(TFormUpgrade::Command::Write, scratch_.filePath(QStringLiteral("w.bin")), true,
                            Options(ports_));
        StateLog log(dialog);
        dialog.show();
        dialog.StartCommand();
        QCOMPARE(log.now(), QStringLiteral("There is no serial port on COM.01."));
        QTest::qWait(200);
        QVERIFY(dialog.isVisible());
        QVERIFY(!log.texts.contains(QStringLiteral("Connectting...")));
        QTest::mouseClick(Child<QToolButton>(dialog, "SB_Cancel"), Qt::LeftButton);
        QCOMPARE(dialog.Result().outcome, Outcome::Cancelled);
    }

    void anotherPortIsAskedForRememberedAndOfferedAgain() {
        testutil::TempDir dir;
        auto loader = StartLoader();
        ports_.devices.clear();
        const QString device = QString::fromStdString(loader->DevicePath());
        const QString out = QString::fromStdString(dir.path("r.bin"));
        {
            TFormUpgrade dialog(TFormUpgrade::Command::ReadBack, out, true, Options(ports_, Settings()));
            auto* combo = Child<QComboBox>(dialog, "CB_Com");
            QCOMPARE(combo->count(), 11);
            dialog.show();
            ui::InputDialog::setNextText(device);
            Choose(dialog, 10);
            QCOMPARE(ui::InputDialog::lastRequest().text, QStringLiteral("/dev/"));
            // The device gets its row, above "Other port...", and the exchange runs on it.
            QCOMPARE(combo->count(), 12);
            QCOMPARE(combo->itemText(10), device);
            QCOMPARE(combo->currentIndex(), 10);
            QCOMPARE(combo->itemText(11), TFormUpgrade::kOtherPortItem);
            QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), 10000);
            QCOMPARE(dialog.Result().outcome, Outcome::Success);
        }
        QCOMPARE(dbase::ReadOtherPort(Settings().toStdString()), device.toStdString());
        QCOMPARE(testutil::ReadFile(out.toStdString()), linktest::SampleFile(true));

        // The next dialog offers it; choosing its row opens it.
        QFile::remove(out);
        TFormUpgrade next(TFormUpgrade::Command::ReadBack, out, false, Options(ports_, Settings()));
        auto* combo = Child<QComboBox>(next, "CB_Com");
        QCOMPARE(combo->count(), 12);
        QCOMPARE(combo->itemText(10), device);
        QCOMPARE(combo->currentIndex(), 0);
        QCOMPARE(next.DeviceOfRow(10), device);
        QVERIFY(next.DeviceOfRow(11).isEmpty());
        next.show();
        Choose(next, 10);
        QTRY_VERIFY_WITH_TIMEOUT(!next.isVisible(), 10000);
        QCOMPARE(testutil::ReadFile(out.toStdString()), linktest::SampleFile(false));
    }

    void aCancelledOrWrongOtherPortChangesNothing() {
        ports_.devices = {{QStringLiteral("ttyS0"), QString::fromLatin1(kNoDevice)}};
        TFormUpgrade dialog(TFormUpgrade::Command::ReadBack, scratch_.filePath(QStringLiteral("r.bin")), false,
                            Options(ports_, Settings()));
        StateLog log(dialog);
        auto* combo = Child<QComboBox>(dialog, "CB_Com");
        dialog.show();
        Choose(dialog, 10); // the question is cancelled
        QCOMPARE(combo->currentIndex(), 0);
        QCOMPARE(combo->count(), 11);
        QVERIFY(log.texts.isEmpty());
        ui::InputDialog::setNextText(QStringLiteral("ttyUSB0"));
        Choose(dialog, 10);
        QCOMPARE(log.now(), QStringLiteral("ttyUSB0 is not a device path."));
        QCOMPARE(combo->currentIndex(), 0);
        QCOMPARE(combo->count(), 11);
        QVERIFY(!QFile::exists(Settings()));
        QTest::mouseClick(Child<QToolButton>(dialog, "SB_Cancel"), Qt::LeftButton);
    }

    void aPortThatDoesNotOpenSaysWhyUntilAnotherIsChosen() {
        auto loader = StartLoader();
        ports_.devices = {{QStringLiteral("ttyUSB0"), QString::fromLatin1(kNoDevice)}, DeviceOf(*loader)};
        testutil::TempDir dir;
        TFormUpgrade dialog(TFormUpgrade::Command::ReadBack, QString::fromStdString(dir.path("r.bin")), false,
                            Options(ports_));
        StateLog log(dialog);
        dialog.show();
        dialog.StartCommand();
        const QString why = QString::fromLatin1(kNoDevice) +
                            QStringLiteral(" cannot be opened: no such device (is the receiver's cable plugged in?)");
        QTRY_COMPARE_WITH_TIMEOUT(log.now(), why, 5000);
        QTest::qWait(700); // a connect attempt later it still says so
        QCOMPARE(log.now(), why);
        QVERIFY(!log.texts.contains(QStringLiteral("Connectting...")));
        QCOMPARE(Child<upgrade::ComLamp>(dialog, "Shape_ComState")->color(), TFormUpgrade::kLampClosed);
        // Too long for one line: the field wraps it above the progress bar.
        auto* state = Child<upgrade::StateField>(dialog, "Edit_Start");
        QVERIFY(state->Wrapped());
        QVERIFY(state->geometry().bottom() < Child<QProgressBar>(dialog, "ProgressBarMain")->geometry().top());
        QCOMPARE(state->toolTip(), why);
        Choose(dialog, 1);
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), 10000);
        QCOMPARE(dialog.Result().outcome, Outcome::Success);
        QVERIFY(!state->Wrapped());
    }

    void theFieldsStayReadableDuringATransfer() {
        sim::LoaderConfig slow;
        slow.eraseMs = 400;
        auto loader = StartLoader(slow);
        ports_.devices = {DeviceOf(*loader)};
        testutil::TempDir dir;
        const std::string file = dir.path("w.bin");
        testutil::WriteFile(file, linktest::SampleFile(false));
        TFormUpgrade dialog(TFormUpgrade::Command::Write, QString::fromStdString(file), false, Options(ports_));
        StateLog log(dialog);
        dialog.show();
        dialog.StartCommand();
        auto readable = [&] {
            for (const char* name : {"Edit_Start", "Edit_FileName", "Edit_Bau"})
                if (!Child<QLineEdit>(dialog, name)->isEnabled()) return false;
            return Child<QFrame>(dialog, "Panel_Form")->isEnabled();
        };
        QTRY_COMPARE_WITH_TIMEOUT(log.now(), QStringLiteral("Erase flash..."), 10000);
        QVERIFY(readable());
        // Only the port choice takes no input now.
        QVERIFY(!Child<QComboBox>(dialog, "CB_Com")->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(log.now(), QStringLiteral("Update Success!"), 10000);
        QVERIFY(readable());
        QVERIFY(log.texts.contains(QStringLiteral("Transfering Data:  50%")));

        // The whole speed shows in its field.
        auto* bau = Child<QLineEdit>(dialog, "Edit_Bau");
        QStyleOptionFrame opt;
        opt.initFrom(bau);
        opt.lineWidth = bau->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, bau);
        const QRect room = bau->style()->subElementRect(QStyle::SE_LineEditContents, &opt, bau);
        QVERIFY2(bau->fontMetrics().horizontalAdvance(bau->text()) + 4 <= room.width(),
                 qPrintable(QStringLiteral("%1 px of text in %2 px")
                                .arg(bau->fontMetrics().horizontalAdvance(bau->text()))
                                .arg(room.width())));
        QTest::mouseClick(Child<QToolButton>(dialog, "SB_Cancel"), Qt::LeftButton);
    }
};

QTEST_MAIN(TestUpgradePorts)
#include "test_upgrade_ports.moc"
