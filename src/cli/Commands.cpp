#include "Commands.h"

#include "Common.h"
#include "EditSupport.h"

namespace cli {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = [] {
        std::vector<Command> list = {
            {"info", "info FILE", CmdInfo},
            {"dump", "dump FILE [--json]", CmdDump},
            {"save", "save IN OUT [--as channel|default]", CmdSave},
        };
        for (const EditCommand& e : EditCommands())
            list.push_back({e.name, e.usage, [&e](const Args& args, std::ostream& out, std::ostream& err) {
                                return RunEdit(e, args, out, err);
                            }});
        list.push_back({"batch", "batch FILE SCRIPT -o OUT", CmdBatch});
        list.push_back({"read", "read --port DEV --kind channel|default OUT", CmdRead});
        list.push_back({"write", "write --port DEV FILE", CmdWrite});
        return list;
    }();
    return commands;
}

namespace {
void Usage(std::ostream& err) {
    err << "usage: orbitlist-cli COMMAND ...\n";
    for (const Command& c : Commands()) err << "  orbitlist-cli " << c.usage << '\n';
}
} // namespace

int Run(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        Usage(err);
        return 2;
    }
    for (const Command& c : Commands()) {
        if (args[0] != c.name) continue;
        try {
            return c.run(Args(args.begin() + 1, args.end()), out, err);
        } catch (const UsageError& e) {
            err << "orbitlist-cli " << c.name << ": " << e.what() << '\n'
                << "usage: orbitlist-cli " << c.usage << '\n';
            return 2;
        }
    }
    err << "orbitlist-cli: unknown command " << args[0] << '\n';
    Usage(err);
    return 2;
}

} // namespace cli
