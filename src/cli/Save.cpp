// save: open a data file and save it again, as Save or a Save as item does.
#include "Commands.h"
#include "Common.h"

namespace cli {

int CmdSave(const Args& args, std::ostream&, std::ostream& err) {
    const ParsedArgs p = ParseArgs(args, {"--as"}, {}, 2, 2);
    const std::string* as = p.get("--as");
    if (as && *as != "channel" && *as != "default") throw UsageError("--as takes channel or default");
    dbase::Document doc;
    if (dbase::Status s = OpenInputFor(p.positional[0], p.positional[1], doc); !s) return Fail(err, s);
    const dbase::SaveMode mode =
        as ? dbase::SaveModeForSaveAs(doc.Is256K(), *as == "channel") : dbase::SaveModeForSave(doc.Is256K());
    if (dbase::Status s = doc.Save(mode, p.positional[1]); !s) return Fail(err, s);
    return 0;
}

} // namespace cli
