// The commands of orbitlist-cli. Each takes the arguments after its name and
// returns the exit status: 0 success, 1 refusal or failure, 2 a malformed
// command line (thrown as UsageError).
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace cli {

using Args = std::vector<std::string>;

struct Command {
    std::string name;
    std::string usage;
    std::function<int(const Args& args, std::ostream& out, std::ostream& err)> run;
    // The command writes a data file, keeping an existing one first as
    // NAME.bak; its usage ends with the option that turns that off.
    bool backup = false;
};

const std::vector<Command>& Commands();

// Runs one command line (without the program name).
int Run(const Args& args, std::ostream& out, std::ostream& err);

int CmdInfo(const Args&, std::ostream&, std::ostream&);
int CmdDump(const Args&, std::ostream&, std::ostream&);
int CmdFind(const Args&, std::ostream&, std::ostream&);
int CmdExportCsv(const Args&, std::ostream&, std::ostream&);
int CmdDiff(const Args&, std::ostream&, std::ostream&);
int CmdDuplicates(const Args&, std::ostream&, std::ostream&);
int CmdSave(const Args&, std::ostream&, std::ostream&);
int CmdBatch(const Args&, std::ostream&, std::ostream&);
int CmdRead(const Args&, std::ostream&, std::ostream&);
int CmdWrite(const Args&, std::ostream&, std::ostream&);

} // namespace cli
