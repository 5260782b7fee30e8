#include "Commands.h"

#include "Common.h"

namespace cli {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"info", "info FILE", CmdInfo},
        {"dump", "dump FILE [--json]", CmdDump},
        {"save", "save IN OUT [--as channel|default]", CmdSave},
        {"sort", "sort FILE tv|radio name|fav|tp -o OUT", CmdSort},
        {"swap", "swap FILE sat|tp|prog A B -o OUT", CmdSwap},
        {"mark", "mark FILE SLOT fav:N|lock|skip -o OUT", CmdMark},
        {"fav-lock", "fav-lock FILE GROUP 0|1 -o OUT", CmdFavLock},
        {"delete-program", "delete-program FILE SLOT -o OUT", CmdDeleteProgram},
        {"delete-tp", "delete-tp FILE SLOT -o OUT", CmdDeleteTp},
        {"reset-sat", "reset-sat FILE SLOT -o OUT", CmdResetSat},
        {"delete-empty-tps", "delete-empty-tps FILE [--sat SLOT] -o OUT", CmdDeleteEmptyTps},
        {"edit-program",
         "edit-program FILE SLOT [--name T] [--vid N] [--aud N] [--pcr N] [--pvt N] [--pmt N] [--sid N] "
         "[--lock 0|1] [--skip 0|1] [--fav MASK16] -o OUT",
         CmdEditProgram},
        {"add-program",
         "add-program FILE TPSLOT tv|radio --name T --vid N --aud N --pcr N [--pvt N] [--pmt N] [--sid N] "
         "[--lock 0|1] [--skip 0|1] [--fav MASK16] -o OUT",
         CmdAddProgram},
        {"edit-tp", "edit-tp FILE SLOT [--freq N] [--sym N] [--pol H|V] [--fec TEXT] -o OUT", CmdEditTp},
        {"add-tp", "add-tp FILE SATSLOT --freq N --sym N --pol H|V --fec TEXT -o OUT", CmdAddTp},
        {"edit-sat",
         "edit-sat FILE SLOT [--name T] [--type single|universal|onecable] [--low N] [--high N] "
         "[--22k off|on|auto] [--diseqc10 0-4] [--diseqc11 0-16] [--power off|13/18|13|18] [--longitude X] -o OUT",
         CmdEditSat},
        {"fav-name", "fav-name FILE GROUP NAME -o OUT", CmdFavName},
        {"import-ini", "import-ini FILE SATSLOT INI -o OUT", CmdImportIni},
        {"read", "read --port DEV --kind channel|default OUT", CmdRead},
        {"write", "write --port DEV [--verify] FILE", CmdWrite},
    };
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
