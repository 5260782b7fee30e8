// sort, swap, mark and fav-lock: reordering and marking for scripts. Each
// opens FILE as save does, makes one change with the window's rules, and
// saves to OUT in the form the Save command uses; a refusal writes nothing.
#include "Commands.h"
#include "Common.h"

#include "dbase/Marks.h"
#include "dbase/Reorder.h"

#include <algorithm>
#include <functional>

namespace cli {

namespace {

// Parses `count` positional arguments and the required -o OUT.
ParsedArgs ParseWithOutput(const Args& args, size_t count) {
    ParsedArgs p = ParseArgs(args, {"-o"}, {}, count, count);
    if (!p.has("-o") || p.get("-o")->empty()) throw UsageError("-o OUT is required");
    return p;
}

int OpenChangeSave(const ParsedArgs& p, std::ostream& err,
                   const std::function<dbase::Status(dbase::Database&)>& change) {
    auto db = dbase::NewDatabase();
    if (dbase::Status s = OpenInputFor(p.positional[0], *p.get("-o"), *db); !s) return Fail(err, s);
    if (dbase::Status s = change(*db); !s) return Fail(err, s);
    if (dbase::Status s = SaveOutput(*db, *p.get("-o")); !s) return Fail(err, s);
    return 0;
}

dbase::ProgKind ParseKind(const std::string& text) {
    if (text == "tv") return dbase::ProgKind::Tv;
    if (text == "radio") return dbase::ProgKind::Radio;
    throw UsageError("the kind is tv or radio, not " + text);
}

// Parses "fav:N" (N 1..16), "lock" or "skip" as a marking button.
int ParseMarkMode(const std::string& text) {
    if (text == "lock") return dbase::kLockButton;
    if (text == "skip") return dbase::kSkipButton;
    if (text.rfind("fav:", 0) == 0) {
        const long long n = ParseInteger(text.substr(4), "the favourite group");
        if (n >= 1 && n <= dbase::kFavGroups) return static_cast<int>(n - 1);
        throw UsageError("the favourite group is 1..16, not " + text.substr(4));
    }
    throw UsageError("the marking mode is fav:N, lock or skip, not " + text);
}

int ParseGroup(const std::string& text) {
    const long long g = ParseInteger(text, "GROUP");
    if (g < 1 || g > dbase::kFavGroups) throw UsageError("GROUP is 1..16, not " + text);
    return static_cast<int>(g - 1);
}

} // namespace

int CmdSort(const Args& args, std::ostream&, std::ostream& err) {
    const ParsedArgs p = ParseWithOutput(args, 3);
    const dbase::ProgKind kind = ParseKind(p.positional[1]);
    const std::string& by = p.positional[2];
    dbase::SortKey key;
    if (by == "name")
        key = dbase::SortKey::Name;
    else if (by == "fav")
        key = dbase::SortKey::Fav;
    else if (by == "tp")
        key = dbase::SortKey::Tp;
    else
        throw UsageError("the order is name, fav or tp, not " + by);
    return OpenChangeSave(p, err, [&](dbase::Database& db) {
        dbase::SortPrograms(db, kind, key);
        return dbase::Status::Ok();
    });
}

int CmdSwap(const Args& args, std::ostream&, std::ostream& err) {
    const ParsedArgs p = ParseWithOutput(args, 4);
    const std::string& what = p.positional[1];
    if (what != "sat" && what != "tp" && what != "prog")
        throw UsageError("the table is sat, tp or prog, not " + what);
    const long long a = ParseInteger(p.positional[2], "A"), b = ParseInteger(p.positional[3], "B");
    // Slots far outside any table are refused by the checks like any other
    // slot not in use; clamping keeps them from wrapping into a valid one.
    const int sa = static_cast<int>(std::clamp<long long>(a, -1, 1 << 20));
    const int sb = static_cast<int>(std::clamp<long long>(b, -1, 1 << 20));
    return OpenChangeSave(p, err, [&](dbase::Database& db) {
        if (what == "sat") {
            if (dbase::Status s = dbase::CheckSatSwap(db, sa, sb); !s) return s;
            dbase::SwapSatellites(db, sa, sb);
        } else if (what == "tp") {
            if (dbase::Status s = dbase::CheckTpSwap(db, sa, sb); !s) return s;
            dbase::SwapTransponders(db, sa, sb);
        } else {
            if (dbase::Status s = dbase::CheckProgSwap(db, sa, sb); !s) return s;
            dbase::SwapPrograms(db, sa, sb);
        }
        return dbase::Status::Ok();
    });
}

int CmdMark(const Args& args, std::ostream& out, std::ostream& err) {
    const ParsedArgs p = ParseWithOutput(args, 3);
    const long long slot = ParseInteger(p.positional[1], "SLOT");
    const int button = ParseMarkMode(p.positional[2]);
    std::string report;
    const int code = OpenChangeSave(p, err, [&](dbase::Database& db) {
        if (slot < 0 || slot >= db.ProgCount)
            return dbase::Status::Error("There is no program in slot " + p.positional[1] + "!");
        const int s = static_cast<int>(slot);
        dbase::ToggleMarks(db, s, button);
        const dbase::ProgData& d = db.Prog.data[s];
        report = "Program " + std::to_string(s) + " \"" + Latin1ToUtf8(d.Name) + "\" ";
        if (button == dbase::kLockButton)
            report += d.Lock ? "is now locked." : "is no longer locked.";
        else if (button == dbase::kSkipButton)
            report += d.Skip ? "is now skipped." : "is no longer skipped.";
        else
            report += std::string(db.InFavGroup(s, button) ? "is now in" : "is no longer in") +
                      " favourite group " + std::to_string(button + 1) + ".";
        return dbase::Status::Ok();
    });
    if (code == 0) out << report << '\n';
    return code;
}

int CmdFavLock(const Args& args, std::ostream&, std::ostream& err) {
    const ParsedArgs p = ParseWithOutput(args, 3);
    const int group = ParseGroup(p.positional[1]);
    const std::string& state = p.positional[2];
    if (state != "0" && state != "1") throw UsageError("the lock state is 0 or 1, not " + state);
    return OpenChangeSave(p, err, [&](dbase::Database& db) {
        dbase::SetFavLock(db, group, state == "1");
        return dbase::Status::Ok();
    });
}

} // namespace cli
