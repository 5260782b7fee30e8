// find: the programs that match the window's filter, for scripts. The text
// is the filter field's, the options the conditions of its popup and the
// satellite or transponder the grids are narrowed to.
#include "Commands.h"
#include "Common.h"
#include "EditSupport.h"

#include "editing/Entries.h"
#include "editing/Find.h"

namespace cli {

namespace {

std::optional<bool> BoolOption(const ParsedArgs& p, const std::string& name) {
    const std::string* v = p.get(name);
    if (!v) return std::nullopt;
    if (*v != "0" && *v != "1") throw UsageError(name + " takes 0 or 1, not " + *v);
    return *v == "1";
}

} // namespace

int CmdFind(const Args& args, std::ostream& out, std::ostream& err) {
    const ParsedArgs p = ParseArgs(args, {"--kind", "--sat", "--tp", "--fav", "--lock", "--skip", "--sid", "--pid"},
                                   {"--scrambled", "--free", "--json"}, 1, 2);
    dbase::ProgFilter f;
    if (p.positional.size() > 1) {
        f.text = p.positional[1];
        if (dbase::Status s = dbase::CheckFilterText(f.text); !s) throw UsageError(s.message());
    }
    if (const std::string* kind = p.get("--kind")) {
        if (*kind != "tv" && *kind != "radio") throw UsageError("--kind is tv or radio, not " + *kind);
        f.radio = *kind == "radio";
    }
    if (p.has("--scrambled") && p.has("--free")) throw UsageError("--scrambled and --free exclude each other");
    if (p.has("--scrambled")) f.scrambled = true;
    if (p.has("--free")) f.scrambled = false;
    if (const std::string* g = p.get("--fav")) f.favGroup = RangeArg(*g, "--fav", 1, dbase::kFavGroups) - 1;
    f.locked = BoolOption(p, "--lock");
    f.skipped = BoolOption(p, "--skip");
    if (const std::string* sid = p.get("--sid")) f.serviceId = RangeArg(*sid, "--sid", 0, 65535);
    if (const std::string* pid = p.get("--pid")) f.pid = RangeArg(*pid, "--pid", 0, 8191);
    if (const std::string* sat = p.get("--sat")) f.sat = SlotArg(*sat, "--sat");
    if (const std::string* tp = p.get("--tp")) f.tp = SlotArg(*tp, "--tp");

    auto db = dbase::NewDatabase();
    if (dbase::Status s = OpenInput(p.positional[0], *db); !s) return Fail(err, s);
    if (p.get("--sat"))
        if (dbase::Status s = dbase::CheckSatSlot(*db, f.sat); !s) return Fail(err, s);
    if (p.get("--tp"))
        if (dbase::Status s = dbase::CheckTpSlot(*db, f.tp); !s) return Fail(err, s);

    const std::vector<int> found = dbase::FindPrograms(*db, f);
    if (found.empty()) return 0;
    if (p.has("--json")) {
        out << '[';
        for (size_t i = 0; i < found.size(); ++i) out << (i ? ", " : "") << found[i];
        out << "]\n";
        return 0;
    }
    for (int slot : found) out << slot << '\t' << Latin1ToUtf8(db->Prog.data[slot].Name) << '\n';
    return 0;
}

} // namespace cli
