// The commands of orbitlist-cli. Each takes the arguments after its name and
// returns the exit status: 0 success, 1 refusal or failure, 2 a malformed
// command line (thrown as UsageError).
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace cli {

using Args = std::vector<std::string>;

struct Command {
    const char* name;
    const char* usage;
    int (*run)(const Args& args, std::ostream& out, std::ostream& err);
};

const std::vector<Command>& Commands();

// Runs one command line (without the program name).
int Run(const Args& args, std::ostream& out, std::ostream& err);

int CmdInfo(const Args&, std::ostream&, std::ostream&);
int CmdDump(const Args&, std::ostream&, std::ostream&);
int CmdSave(const Args&, std::ostream&, std::ostream&);
int CmdSort(const Args&, std::ostream&, std::ostream&);
int CmdSwap(const Args&, std::ostream&, std::ostream&);
int CmdMark(const Args&, std::ostream&, std::ostream&);
int CmdFavLock(const Args&, std::ostream&, std::ostream&);
int CmdDeleteProgram(const Args&, std::ostream&, std::ostream&);
int CmdDeleteTp(const Args&, std::ostream&, std::ostream&);
int CmdResetSat(const Args&, std::ostream&, std::ostream&);
int CmdDeleteEmptyTps(const Args&, std::ostream&, std::ostream&);
int CmdEditProgram(const Args&, std::ostream&, std::ostream&);
int CmdAddProgram(const Args&, std::ostream&, std::ostream&);
int CmdEditTp(const Args&, std::ostream&, std::ostream&);
int CmdAddTp(const Args&, std::ostream&, std::ostream&);
int CmdEditSat(const Args&, std::ostream&, std::ostream&);
int CmdFavName(const Args&, std::ostream&, std::ostream&);
int CmdImportIni(const Args&, std::ostream&, std::ostream&);
int CmdRead(const Args&, std::ostream&, std::ostream&);
int CmdWrite(const Args&, std::ostream&, std::ostream&);

} // namespace cli
