#include "Commands.h"

#include "Common.h"
#include "EditSupport.h"
#include "Help.h"

#include <new>

namespace cli {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = [] {
        std::vector<Command> list = {
            {"info", "info FILE", CmdInfo},
            {"dump", "dump FILE [--json]", CmdDump},
            {"find",
             "find FILE [TEXT] [--kind tv|radio] [--sat SLOT] [--tp SLOT] [--scrambled | --free] [--fav N] "
             "[--lock 0|1] [--skip 0|1] [--sid N] [--pid N] [--json]",
             CmdFind},
            {"export-csv", "export-csv FILE [-o OUT.csv]", CmdExportCsv},
            {"diff", "diff A B [--json]", CmdDiff},
            {"duplicates", "duplicates FILE [--json]", CmdDuplicates},
            {"save", "save IN OUT [--as channel|default]", CmdSave, true},
        };
        for (const EditCommand& e : EditCommands())
            list.push_back(
                {e.name, e.usage,
                 [&e](const Args& args, std::ostream& out, std::ostream& err) { return RunEdit(e, args, out, err); },
                 true});
        list.push_back({"batch", "batch FILE SCRIPT -o OUT", CmdBatch, true});
        list.push_back({"read", "read --port DEV --kind channel|default OUT", CmdRead, true});
        list.push_back({"write", "write --port DEV [--verify] FILE", CmdWrite});
        for (Command& c : list)
            if (c.backup) c.usage += " [" + std::string(kNoBackup) + "]";
        return list;
    }();
    return commands;
}

namespace {

bool IsHelpWord(const std::string& word) { return word == "--help" || word == "-h"; }

// True when the words after a command's name ask for its help: --help or -h
// before any "--".
bool AsksForHelp(const Args& args) {
    for (size_t i = 1; i < args.size() && args[i] != "--"; ++i)
        if (IsHelpWord(args[i])) return true;
    return false;
}

const Command* FindCommand(const std::string& name) {
    for (const Command& c : Commands())
        if (c.name == name) return &c;
    return nullptr;
}

int UnknownCommand(const std::string& name, std::ostream& err) {
    err << "orbitlist-cli: unknown command " << name << '\n';
    PrintUsage(err);
    return 2;
}

} // namespace

int Run(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        PrintUsage(err);
        return 2;
    }
    if (IsHelpWord(args[0]) || args[0] == "help") {
        if (args.size() == 1) {
            PrintUsage(out);
            return 0;
        }
        const Command* c = FindCommand(args[1]);
        if (!c) return UnknownCommand(args[1], err);
        if (args.size() > 2) {
            err << "orbitlist-cli help: unexpected argument " << args[2] << '\n';
            return 2;
        }
        PrintCommandHelp(*c, out);
        return 0;
    }
    if (args[0] == "--version") {
        PrintVersion(out);
        return 0;
    }
    const Command* c = FindCommand(args[0]);
    if (!c) return UnknownCommand(args[0], err);
    if (AsksForHelp(args)) {
        PrintCommandHelp(*c, out);
        return 0;
    }
    try {
        return c->run(Args(args.begin() + 1, args.end()), out, err);
    } catch (const UsageError& e) {
        err << "orbitlist-cli " << c->name << ": " << e.what() << '\n' << "usage: orbitlist-cli " << c->usage << '\n';
        return 2;
    } catch (const std::bad_alloc&) {
        return Fail(err, "orbitlist-cli " + c->name + ": there is not enough memory to complete the command.");
    } catch (const std::exception& e) {
        return Fail(err, "orbitlist-cli " + c->name + ": the command failed: " + e.what());
    }
}

} // namespace cli
