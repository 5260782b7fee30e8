#include "Startup.h"

#include "Main/TFormMain.h"
#include "SerialDeploy.h"
#include "SingleInstance.h"
#include "dbase/DataFile.h"
#include "dbase/Messages.h"
#include "dbase/RecentFiles.h"
#include "ui/FormSetup.h"
#include "ui/MessageBox.h"
#include "ui/ProgramIcon.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>

namespace app {

namespace {

void SetApplicationNames() {
    QCoreApplication::setApplicationName(QStringLiteral("orbitlist"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(orbitlist::kVersion));
}

void AddOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("Editor for the channel database of a satellite receiver."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("Channel or Default data file to open."),
                                 QStringLiteral("[FILE]"));
}

} // namespace

void AnswerHelpAndVersion(int argc, char** argv) {
    // A core application only: it needs no display.
    QCoreApplication core(argc, argv);
    SetApplicationNames();
    QCommandLineParser parser;
    AddOptions(parser);
    // Options this parse does not know (the window system's own among them)
    // are judged by the full parse once the window system is up.
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet(QStringLiteral("help"))) parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version"))) parser.showVersion();
}

bool CopyDefaultDatabase(const QString& exeDir, const QString& dataDir) {
    const QString source = QDir(exeDir).filePath(QString::fromLatin1(kDefaultDatabaseName));
    if (!QFileInfo(source).isFile()) return false;
    const QString target = QDir(dataDir).filePath(QString::fromLatin1(kDefaultDatabaseName));
    QFile::remove(target);
    return QFile::copy(source, target);
}

QString SettingsFilePath(const QString& exeDir, const QString& configDir) {
    const QString name = QString::fromLatin1(dbase::kSettingsFileName);
    const QFileInfo besideExe(QDir(exeDir).filePath(name));
    const QFileInfo folder(exeDir);
    const bool writable = besideExe.exists() ? besideExe.isWritable() : folder.isDir() && folder.isWritable();
    if (writable) return besideExe.filePath();
    const QString dir = QDir(configDir).filePath(QStringLiteral("orbitlist"));
    QDir().mkpath(dir);
    return QDir(dir).filePath(name);
}

void ConnectHandOff(SingleInstance& guard, TFormMain& form) {
    QObject::connect(&guard, &SingleInstance::MessageReceived, &form, [&form](const QString& message) {
        form.RestoreOrRaise();
        QString path;
        if (SingleInstance::IsOpenMessage(message, &path)) form.OpenFileFromOutside(path);
    });
}

void SetUpApplication() {
    SetApplicationNames();
    // Not the display name, which Qt would append to every window's title.
    ui::SetApplicationTitle(QString::fromUtf8(kApplicationTitle));
    // Names the desktop entry, whose icon the desktop shows for the window.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(orbitlist::kAppId));
    QApplication::setStyle(QStringLiteral("Fusion"));
    ui::SetProgramIcon();
}

int RunApplication(int argc, char** argv) {
    AnswerHelpAndVersion(argc, argv);
    QApplication application(argc, argv);
    SetUpApplication();

    QCommandLineParser parser;
    AddOptions(parser);
    parser.process(application);
    const QStringList args = parser.positionalArguments();
    const QString file = args.isEmpty() ? QString() : QFileInfo(args.first()).absoluteFilePath();

    // 1. One copy per user: a later start hands its job to the running one.
    SingleInstance guard(
        SingleInstance::ServerNameFor(QString::fromUtf8(kWindowClassName), SingleInstance::CurrentUser()));
    const QString job = file.isEmpty() ? SingleInstance::RaiseMessage() : SingleInstance::OpenMessage(file);
    if (guard.SendToRunning(job)) return 0;
    if (!guard.Listen() && guard.SendToRunning(job)) return 0;

    // 2. and 3. The directories, and the default database beside the executable.
    const QString dataDir = QString::fromStdString(dbase::DataDirectory());
    const QString exeDir = QCoreApplication::applicationDirPath();
    CopyDefaultDatabase(exeDir, dataDir);

    // 4. and 5. The serial-port component.
    LinkedSerialPlatform serial;
    if (DeploySerialControl(serial) == SerialSetup::Fatal) {
        ui::MessageBox::error(nullptr, QString::fromLatin1(dbase::msg::RegisterFileMissing));
        return 1;
    }

    // 6. The main window and the event loop.
    MainWindowFiles files;
    files.settingsFile =
        SettingsFilePath(exeDir, QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    files.workFile = QString::fromStdString(dbase::WorkFilePath());
    TFormMain form(files);
    ConnectHandOff(guard, form);
    form.show();
    if (!file.isEmpty()) QTimer::singleShot(0, &form, [&form, file] { form.OpenFileFromOutside(file); });
    return application.exec();
}

} // namespace app
