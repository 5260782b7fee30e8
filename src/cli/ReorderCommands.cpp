// sort, swap, mark and fav-lock: reordering and marking for scripts. Each
// opens FILE as save does, makes one change with the window's rules, and
// saves to OUT in the form the Save command uses; a refusal writes nothing.
#include "Commands.h"
#include "EditSupport.h"

#include "dbase/Marks.h"
#include "dbase/Reorder.h"
#include "dbase/StepNames.h"

#include <algorithm>

namespace cli {

namespace {

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

dbase::SortKey ParseSortKey(const std::string& by) {
    if (by == "name") return dbase::SortKey::Name;
    if (by == "fav") return dbase::SortKey::Fav;
    if (by == "tp") return dbase::SortKey::Tp;
    throw UsageError("the order is name, fav or tp, not " + by);
}

const std::string& SwapTable(const ParsedArgs& p) {
    const std::string& what = p.positional[1];
    if (what != "sat" && what != "tp" && what != "prog")
        throw UsageError("the table is sat, tp or prog, not " + what);
    return what;
}

// Slots far outside any table are refused by the checks like any other slot
// not in use; clamping keeps them from wrapping into a valid one.
int SwapSlot(const std::string& text, const std::string& what) {
    return static_cast<int>(std::clamp<long long>(ParseInteger(text, what), -1, 1 << 20));
}

int ParseLockState(const std::string& state) {
    if (state != "0" && state != "1") throw UsageError("the lock state is 0 or 1, not " + state);
    return state == "1";
}

} // namespace

void AddReorderEditCommands(std::vector<EditCommand>& list) {
    list.push_back({"sort", "sort FILE tv|radio name|fav|tp -o OUT", dbase::steps::SortPrograms, {}, 3, 3,
                    [](const ParsedArgs& p) {
                        ParseKind(p.positional[1]);
                        ParseSortKey(p.positional[2]);
                    },
                    [](const ParsedArgs& p, dbase::Database& db, EditReport&) {
                        dbase::SortPrograms(db, ParseKind(p.positional[1]), ParseSortKey(p.positional[2]));
                        return dbase::Status::Ok();
                    }});
    list.push_back({"swap", "swap FILE sat|tp|prog A B -o OUT", "", {}, 4, 4,
                    [](const ParsedArgs& p) {
                        SwapTable(p);
                        SwapSlot(p.positional[2], "A");
                        SwapSlot(p.positional[3], "B");
                    },
                    [](const ParsedArgs& p, dbase::Database& db, EditReport& report) {
                        const std::string& what = SwapTable(p);
                        const int a = SwapSlot(p.positional[2], "A"), b = SwapSlot(p.positional[3], "B");
                        if (what == "sat") {
                            report.step = dbase::steps::MoveSatellite;
                            if (dbase::Status s = dbase::CheckSatSwap(db, a, b); !s) return s;
                            dbase::SwapSatellites(db, a, b);
                        } else if (what == "tp") {
                            report.step = dbase::steps::MoveTransponder;
                            if (dbase::Status s = dbase::CheckTpSwap(db, a, b); !s) return s;
                            dbase::SwapTransponders(db, a, b);
                        } else {
                            report.step = dbase::steps::MoveProgram;
                            if (dbase::Status s = dbase::CheckProgSwap(db, a, b); !s) return s;
                            dbase::SwapPrograms(db, a, b);
                        }
                        return dbase::Status::Ok();
                    }});
    list.push_back({"mark", "mark FILE SLOT fav:N|lock|skip -o OUT", "", {}, 3, 3,
                    [](const ParsedArgs& p) {
                        ParseInteger(p.positional[1], "SLOT");
                        ParseMarkMode(p.positional[2]);
                    },
                    [](const ParsedArgs& p, dbase::Database& db, EditReport& report) {
                        const long long slot = ParseInteger(p.positional[1], "SLOT");
                        const int button = ParseMarkMode(p.positional[2]);
                        if (slot < 0 || slot >= db.ProgCount)
                            return dbase::Status::Error("There is no program in slot " + p.positional[1] + "!");
                        const int s = static_cast<int>(slot);
                        report.step = dbase::steps::Mark(button);
                        dbase::ToggleMarks(db, s, button);
                        const dbase::ProgData& d = db.Prog.data[s];
                        std::string note = "Program " + std::to_string(s) + " \"" + Latin1ToUtf8(d.Name) + "\" ";
                        if (button == dbase::kLockButton)
                            note += d.Lock ? "is now locked." : "is no longer locked.";
                        else if (button == dbase::kSkipButton)
                            note += d.Skip ? "is now skipped." : "is no longer skipped.";
                        else
                            note += std::string(db.InFavGroup(s, button) ? "is now in" : "is no longer in") +
                                    " favourite group " + std::to_string(button + 1) + ".";
                        report.notes.push_back(note);
                        return dbase::Status::Ok();
                    }});
    list.push_back({"fav-lock", "fav-lock FILE GROUP 0|1 -o OUT", "", {}, 3, 3,
                    [](const ParsedArgs& p) {
                        ParseGroup(p.positional[1]);
                        ParseLockState(p.positional[2]);
                    },
                    [](const ParsedArgs& p, dbase::Database& db, EditReport& report) {
                        const int group = ParseGroup(p.positional[1]);
                        const bool locked = ParseLockState(p.positional[2]);
                        report.step = dbase::steps::LockFavourite(group, locked);
                        dbase::SetFavLock(db, group, locked);
                        return dbase::Status::Ok();
                    }});
}

} // namespace cli
