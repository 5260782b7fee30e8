// save: open a data file and save it again, as Save or a Save as item does.
#include "Commands.h"
#include "Common.h"

namespace cli {

int CmdSave(const Args& args, std::ostream&, std::ostream& err) {
    const ParsedArgs p = ParseArgs(args, {"--as"}, {}, 2, 2);
    dbase::SaveMode mode = dbase::SaveMode::None;
    auto db = dbase::NewDatabase();
    if (const std::string* as = p.get("--as")) {
        if (*as != "channel" && *as != "default") throw UsageError("--as takes channel or default");
        if (dbase::Status s = OpenInput(p.positional[0], *db); !s) return Fail(err, s);
        mode = dbase::SaveModeForSaveAs(db->Is256K, *as == "channel");
    } else {
        if (dbase::Status s = OpenInput(p.positional[0], *db); !s) return Fail(err, s);
        mode = dbase::SaveModeForSave(db->Is256K);
    }
    if (dbase::Status s = dbase::SaveImage(*db, mode, p.positional[1]); !s) return Fail(err, s);
    return 0;
}

} // namespace cli
