#include "Startup.h"

#include "Application.h"
#include "Main/TFormMain.h"
#include "SerialDeploy.h"
#include "SingleInstance.h"
#include "base/Files.h"
#include "base/Messages.h"
#include "format/DataFile.h"
#include "settings/RecentFiles.h"
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

#include <cstdio>
#include <filesystem>

namespace app {

namespace {

void SetApplicationNames() {
    QCoreApplication::setApplicationName(QStringLiteral("orbitlist"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(orbitlist::kVersion));
}

void AddOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(QStringLiteral("Editor for the channel database of a satellite receiver."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("Channel or Default data file to open."),
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
    return SettingsFilePath(exeDir, configDir, QString::fromUtf8(ORBITLIST_INSTALL_BINDIR));
}

QString SettingsFilePath(const QString& exeDir, const QString& configDir, const QString& installBinDir) {
    dbase::Status why;
    const std::string chosen =
        dbase::ChooseSettingsFile(QFile::encodeName(exeDir).toStdString(), QFile::encodeName(configDir).toStdString(),
                                  &why, QFile::encodeName(installBinDir).toStdString());
    // A settings file that is there but can not be used is worth a line; a
    // folder the user may not write into is the usual case of an installed program.
    if (!why && QFileInfo::exists(QDir(exeDir).filePath(QString::fromLatin1(dbase::kSettingsFileName))))
        std::fprintf(stderr, "orbitlist: %s The recent files are kept in %s instead.\n",
                     qPrintable(ui::MessageText(QString::fromStdString(why.message())).replace('\n', ' ')),
                     chosen.c_str());
    return QFile::decodeName(QByteArray::fromStdString(chosen));
}

QString RecoveryQuestion(const QString& path) {
    return QStringLiteral("A save of\r%1\rwas stopped before it was finished, so the file may be damaged.\r\r"
                          "Put back the content it had before that save?\r"
                          "(No keeps the file as it is now and forgets its old content.)")
        .arg(path);
}

void OfferRecovery(QWidget* parent, const QString& recoveryDir) {
    for (const dbase::RecoveryRecord& r : dbase::FindRecoveryRecords(QFile::encodeName(recoveryDir).toStdString())) {
        const QString path = QFile::decodeName(QByteArray::fromStdString(r.path));
        if (ui::MessageBox::warning(parent, RecoveryQuestion(path)) != ui::MessageBox::Yes) {
            dbase::DiscardRecovery(r);
            continue;
        }
        if (const dbase::Status s = dbase::RestoreRecovery(r); !s)
            ui::MessageBox::error(parent, ui::MessageText(s.message()));
    }
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
    Application application(argc, argv);
    SetUpApplication();

    QCommandLineParser parser;
    AddOptions(parser);
    parser.process(application);
    const QStringList args = parser.positionalArguments();
    const QString file = args.isEmpty() ? QString() : QFileInfo(args.first()).absoluteFilePath();

    // 1. One copy per user: a later start hands its job to the running one.
    // The socket lies in a folder only the user can reach; without one each
    // start opens a window of its own.
    QString problem;
    const QString socketPath = SingleInstance::SocketPathFor(
        SingleInstance::ServerNameFor(QString::fromUtf8(kWindowClassName), SingleInstance::CurrentUser()), &problem);
    SingleInstance guard(socketPath);
    if (socketPath.isEmpty()) {
        std::fprintf(stderr, "orbitlist: no private folder for the single-instance socket: %s\n",
                     qPrintable(ui::MessageText(problem).replace(QLatin1Char('\n'), QLatin1Char(' '))));
    } else {
        const QString job = file.isEmpty() ? SingleInstance::RaiseMessage() : SingleInstance::OpenMessage(file);
        if (guard.SendToRunning(job)) return 0;
        if (!guard.Listen() && guard.SendToRunning(job)) return 0;
    }

    // 2. and 3. The directories, and the default database beside the executable.
    // The data folder is never a shared one: without a private folder no file
    // can be opened, and the window says why when the user tries.
    std::string dataDir, workFile;
    const dbase::Status dataStatus = dbase::WorkFilePath(workFile);
    if (dataStatus)
        dataDir = std::filesystem::path(workFile).parent_path().string();
    else
        std::fprintf(stderr, "orbitlist: %s\n", dataStatus.message().c_str());
    const QString exeDir = QCoreApplication::applicationDirPath();
    if (!dataDir.empty()) CopyDefaultDatabase(exeDir, QFile::decodeName(QByteArray::fromStdString(dataDir)));

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
    files.workFile = QFile::decodeName(QByteArray::fromStdString(workFile));
    TFormMain form(files);
    ConnectHandOff(guard, form);
    form.show();
    // A save in place that a crash stopped is offered back first: the file
    // to open may be the one it left half-written.
    QTimer::singleShot(0, &form, [&form, file] {
        OfferRecovery(&form);
        if (!file.isEmpty()) form.OpenFileFromOutside(file);
    });
    return application.exec();
}

} // namespace app
