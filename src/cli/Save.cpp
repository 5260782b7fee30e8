// save: open a data file and save it again, as Save or a Save as item does.
#include "Commands.h"
#include "Common.h"

namespace cli {

int CmdSave(const Args& args, std::ostream&, std::ostream& err) {
    const ParsedArgs p = ParseArgs(args, {"--as"}, {kNoBackup}, 2, 2);
    const std::string* as = p.get("--as");
    if (as && *as != "channel" && *as != "default") throw UsageError("--as takes channel or default");
    dbase::Document doc;
    if (dbase::Status s = OpenInputFor(p.positional[0], p.positional[1], doc); !s) return Fail(err, s);
    doc.SetBackups(!p.has(kNoBackup));
    const dbase::SaveMode mode =
        as ? dbase::SaveModeForSaveAs(doc.Is256K(), *as == "channel") : dbase::SaveModeForSave(doc.Is256K());
    if (dbase::Status s = SaveOutput(doc, p.positional[1], err, mode); !s) return Fail(err, s);
    return 0;
}

} // namespace cli
