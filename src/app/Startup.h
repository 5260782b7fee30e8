// The program's entry sequence: one copy per user, the default database
// copy, the serial-port component, the main window and the event loop.
#pragma once

#include "Version.h"

#include <QString>

class QWidget;
class TFormMain;

namespace app {

class SingleInstance;

// Shown on the task bar.
inline constexpr const char* kApplicationTitle = "\u3010DATABASE_ORBITLIST " ORBITLIST_VERSION "\u3011";
inline constexpr const char* kDefaultDatabaseName = "DEFAULT.BIN";

// Copies "DEFAULT.BIN" from beside the executable into the data directory,
// replacing the one there, when it exists. A failed copy is ignored; returns
// true when the copy was made.
bool CopyDefaultDatabase(const QString& exeDir, const QString& dataDir);

// Where "ORBITLIST.ini" lives (see dbase::ChooseSettingsFile): beside the
// executable of a build folder or of a portable copy that has one, else in
// "orbitlist" under the per-user configuration directory (created when
// missing); always there for a program installed in `installBinDir`, which
// defaults to the programs' folder of the prefix the build installs to.
// Chosen once, at start-up.
QString SettingsFilePath(const QString& exeDir, const QString& configDir, const QString& installBinDir);
QString SettingsFilePath(const QString& exeDir, const QString& configDir);

// Offers, for each recovery copy of a save in place that did not finish,
// to put the file's old content back (Yes) or to keep the file as it is and
// drop the copy (No).
void OfferRecovery(QWidget* parent, const QString& recoveryDir = {});
// The question OfferRecovery asks about `path`.
QString RecoveryQuestion(const QString& path);

// Lets later starts reach `form`: each brings it to the front, and one
// naming a file has it opened the way a recent file is.
void ConnectHandOff(SingleInstance& guard, TFormMain& form);

// The application's names, version and style, set once the application
// object exists.
void SetUpApplication();

// Answers --help and --version (and their short forms) on stdout and ends
// the process with status 0, before any window system is needed; returns
// when the command line asks for neither.
void AnswerHelpAndVersion(int argc, char** argv);

// Runs the program; returns its exit status.
int RunApplication(int argc, char** argv);

} // namespace app
