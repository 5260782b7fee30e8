// Start-up: the serial-component decision, the default database copy, where
// the settings file lives, and the titles.
#include "GuiTestSupport.h"
#include "Main/TFormMain.h"
#include "app/SerialDeploy.h"
#include "app/Startup.h"
#include "base/Files.h"
#include "base/Messages.h"
#include "ui/FormSetup.h"
#include "ui/MessageBox.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using app::SerialSetup;

namespace {

class FakePlatform : public app::SerialControlPlatform {
public:
    bool inSystem = false, inExe = false, tool = false;
    QStringList calls;
    bool ControlInSystemDir() const override { return inSystem; }
    bool ControlInExeDir() const override { return inExe; }
    bool RegToolInSystemDir() const override { return tool; }
    void CopyFromExeDir() override { calls << "copy"; }
    void WriteCarriedControl() override { calls << "write"; }
    void StartRegistration() override { calls << "register"; }
};

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

Q_DECLARE_METATYPE(SerialSetup)

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void serialDecision_data() {
        QTest::addColumn<bool>("inSystem");
        QTest::addColumn<bool>("inExe");
        QTest::addColumn<bool>("tool");
        QTest::addColumn<SerialSetup>("result");
        QTest::addColumn<QStringList>("calls");
        const QStringList none, copy{"copy", "register"}, write{"write", "register"};
        QTest::newRow("system+tool") << true << false << true << SerialSetup::Present << none;
        QTest::newRow("system+exe+tool") << true << true << true << SerialSetup::Present << none;
        QTest::newRow("exe+tool") << false << true << true << SerialSetup::Copied << copy;
        QTest::newRow("exe, no tool") << false << true << false << SerialSetup::Fatal << none;
        QTest::newRow("system+exe, no tool") << true << true << false << SerialSetup::Fatal << none;
        QTest::newRow("system only") << true << false << false << SerialSetup::Fatal << none;
        QTest::newRow("nothing") << false << false << false << SerialSetup::Written << write;
        QTest::newRow("tool only") << false << false << true << SerialSetup::Written << write;
    }

    void serialDecision() {
        QFETCH(bool, inSystem);
        QFETCH(bool, inExe);
        QFETCH(bool, tool);
        QFETCH(SerialSetup, result);
        QFETCH(QStringList, calls);
        FakePlatform p;
        p.inSystem = inSystem;
        p.inExe = inExe;
        p.tool = tool;
        QCOMPARE(app::DeploySerialControl(p), result);
        QCOMPARE(p.calls, calls);
    }

    void linkedSerialLibraryNeedsNothing() {
        app::LinkedSerialPlatform linked;
        QCOMPARE(app::DeploySerialControl(linked), SerialSetup::Present);
        QCOMPARE(QString::fromLatin1(dbase::msg::RegisterFileMissing),
                 QStringLiteral("Fatal Error: Register file can not be found,\r\rPlease contact with developer!"));
    }

    void defaultDatabaseIsCopiedOverTheOldOne() {
        QTemporaryDir exe, data;
        QVERIFY(!app::CopyDefaultDatabase(exe.path(), data.path()));
        QVERIFY(!QFile::exists(data.filePath("DEFAULT.BIN")));
        WriteFile(data.filePath("DEFAULT.BIN"), "old");
        QVERIFY(!app::CopyDefaultDatabase(exe.path(), data.path()));
        QCOMPARE(ReadFile(data.filePath("DEFAULT.BIN")), QByteArray("old"));
        WriteFile(exe.filePath("DEFAULT.BIN"), "new default");
        QVERIFY(app::CopyDefaultDatabase(exe.path(), data.path()));
        QCOMPARE(ReadFile(data.filePath("DEFAULT.BIN")), QByteArray("new default"));
        // A copy that can not be made passes silently.
        QVERIFY(!app::CopyDefaultDatabase(exe.path(), data.filePath("missing/dir")));
    }

    void settingsFileBesideTheExecutableOfABuildFolder() {
        QTemporaryDir exe, config;
        WriteFile(exe.filePath("CMakeCache.txt"), "");
        QCOMPARE(app::SettingsFilePath(exe.path(), config.path()), exe.filePath("ORBITLIST.ini"));
        // Installed there, the same folder sends it to the user's folder.
        QCOMPARE(app::SettingsFilePath(exe.path(), config.path(), exe.path()),
                 config.filePath("orbitlist/ORBITLIST.ini"));
    }

    // The program as installed and run by root, whose trial write beside it
    // would succeed: the user's folder, and not a word about it.
    void settingsFileOfAnInstalledProgramIsTheUsers() {
        QTemporaryDir prefix, config;
        QVERIFY(QDir().mkpath(prefix.filePath("bin")));
        QVERIFY(QDir().mkpath(prefix.filePath("share/orbitlist")));
        QCOMPARE(app::SettingsFilePath(prefix.filePath("bin"), config.path()),
                 config.filePath("orbitlist/ORBITLIST.ini"));
        QVERIFY(!QFile::exists(prefix.filePath("bin/ORBITLIST.ini")));
    }

    void settingsFileInTheUserFolderOtherwise() {
        QTemporaryDir config;
        const QString path = app::SettingsFilePath(config.filePath("no-such-exe-dir"), config.path());
        QCOMPARE(path, config.filePath("orbitlist/ORBITLIST.ini"));
        QVERIFY(QDir(config.filePath("orbitlist")).exists());
    }

    void settingsFileInTheUserFolderWhenTheExecutableFolderIsReadOnly() {
        if (::geteuid() == 0) QSKIP("permissions do not bind the super-user");
        QTemporaryDir exe, config;
        WriteFile(exe.filePath("CMakeCache.txt"), "");
        QFile::setPermissions(exe.path(), QFile::ReadOwner | QFile::ExeOwner);
        QCOMPARE(app::SettingsFilePath(exe.path(), config.path()), config.filePath("orbitlist/ORBITLIST.ini"));
        QFile::setPermissions(exe.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // A save in place stopped by a crash is offered back at the next start:
    // Yes puts the old content back, No keeps the file and drops the copy.
    void anUnfinishedSaveInPlaceIsOfferedBack() {
        guitest::Env env;
        QTemporaryDir dir;
        const QString recovery = dir.filePath("recovery");
        QVERIFY(QDir().mkpath(recovery));
        const QString damaged = dir.filePath("damaged.bin"), kept = dir.filePath("kept.bin");
        WriteFile(damaged, "half new");
        WriteFile(kept, "new");
        const auto place = [&](const QString& name, const QString& file, const QByteArray& old) {
            dbase::RecoveryRecord r;
            r.path = QFile::encodeName(file).toStdString();
            r.oldBytes.assign(old.begin(), old.end());
            const std::vector<uint8_t> bytes = dbase::EncodeRecoveryRecord(r);
            WriteFile(QDir(recovery).filePath(name),
                      QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
        };
        place("aaaaaa.rec", damaged, "old content");
        place("bbbbbb.rec", kept, "old");
        ui::MessageBox::setNextAnswer(ui::MessageBox::Yes); // the second box takes its safe answer, No
        app::OfferRecovery(nullptr, recovery);
        const auto& shown = ui::MessageBox::shown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0].text, ui::MessageText(app::RecoveryQuestion(damaged)));
        QCOMPARE(shown[0].kind, ui::MessageBox::Warning);
        QCOMPARE(shown[1].answer, ui::MessageBox::No);
        QCOMPARE(ReadFile(damaged), QByteArray("old content"));
        QCOMPARE(ReadFile(kept), QByteArray("new"));
        QVERIFY(QDir(recovery).isEmpty());
        QVERIFY(app::RecoveryQuestion(damaged).contains(damaged));
    }

    void titles() {
        QCOMPARE(QString::fromUtf8(app::kApplicationTitle), QStringLiteral("\u3010DATABASE_ORBITLIST 1.0.7\u3011"));
        QCOMPARE(QString::fromUtf8(kWindowClassName), QStringLiteral("\u3010ORBITLIST 1.0.0\u3011"));
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
