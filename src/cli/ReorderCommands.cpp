// sort, swap, mark and fav-lock: reordering and marking for scripts. Each
// opens FILE as save does, makes one change with the window's rules, and
// saves to OUT in the form the Save command uses; a refusal writes nothing.
#include "Commands.h"
#include "EditSupport.h"

#include "document/StepNames.h"
#include "editing/Entries.h"
#include "editing/Marks.h"
#include "editing/Moves.h"
#include "editing/Reorder.h"

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
    if (what != "sat" && what != "tp" && what != "prog") throw UsageError("the table is sat, tp or prog, not " + what);
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

// The list a move names, as the window shows it in full: the TV or radio
// programs in use, the satellites, or one satellite's transponders.
struct MoveList {
    dbase::ListOf what;
    const char* entry;   // "TV program"
    const char* entries; // "TV programs"
    std::vector<int> slots;
};

const std::string& MoveWhat(const ParsedArgs& p) {
    const std::string& what = p.positional[1];
    if (what != "tv" && what != "radio" && what != "sat" && what != "tp")
        throw UsageError("the list is tv, radio, sat or tp, not " + what);
    const size_t wanted = what == "tp" ? 5 : 4;
    if (p.positional.size() != wanted)
        throw UsageError(what == "tp" ? "tp needs SATSLOT, FROM and TO" : what + " needs FROM and TO only");
    return what;
}

// FROM, TO and the block's length; positions are 1-based.
struct MoveWords {
    long long from, to, count;
};

MoveWords ParseMoveWords(const ParsedArgs& p) {
    const bool tp = MoveWhat(p) == "tp";
    if (tp) SlotArg(p.positional[2], "SATSLOT");
    const size_t at = tp ? 3 : 2;
    MoveWords w{ParseInteger(p.positional[at], "FROM"), ParseInteger(p.positional[at + 1], "TO"), 1};
    if (const std::string* count = p.get("--count")) w.count = RangeArg(*count, "--count", 1, dbase::kProgSlots);
    return w;
}

dbase::Status ListToMove(const ParsedArgs& p, const dbase::Database& db, MoveList& list) {
    const std::string& what = MoveWhat(p);
    if (what == "tv" || what == "radio") {
        const bool radio = what == "radio";
        list = {dbase::ListOf::Programs, radio ? "radio program" : "TV program",
                radio ? "radio programs" : "TV programs", dbase::AllProgs(db).of(radio)};
    } else if (what == "sat") {
        list = {dbase::ListOf::Satellites, "satellite", "satellites", {}};
        for (int s = 0; s < std::min<int>(db.SatCount, dbase::kSatSlots); ++s) list.slots.push_back(s);
    } else {
        const int sat = SlotArg(p.positional[2], "SATSLOT");
        if (dbase::Status s = dbase::CheckSatSlot(db, sat); !s) return s;
        list = {dbase::ListOf::Transponders, "transponder", "transponders", dbase::SatTps(db, sat)};
    }
    return dbase::Status::Ok();
}

dbase::Status MoveBlock(const ParsedArgs& p, dbase::Database& db, EditReport& report) {
    MoveList list;
    if (dbase::Status s = ListToMove(p, db, list); !s) return s;
    const MoveWords w = ParseMoveWords(p);
    const long long n = static_cast<long long>(list.slots.size());
    for (const long long position : {w.from, w.to})
        if (position < 1 || position > n)
            return dbase::Status::Error(dbase::StatusCode::NotFound, "There is no " + std::string(list.entry) +
                                                                         " at position " + std::to_string(position) +
                                                                         ": the list holds " + std::to_string(n) + "!");
    for (const long long start : {w.from, w.to})
        if (start - 1 + w.count > n)
            return dbase::Status::Error(dbase::StatusCode::Invalid,
                                        "A block of " + std::to_string(w.count) + " " + list.entries + " at position " +
                                            std::to_string(start) + " does not fit the list of " + std::to_string(n) +
                                            "!");
    std::vector<int> positions;
    for (long long k = 0; k < w.count; ++k) positions.push_back(static_cast<int>(w.from - 1 + k));
    report.step = list.what == dbase::ListOf::Satellites     ? dbase::steps::MoveSatellite
                  : list.what == dbase::ListOf::Transponders ? dbase::steps::MoveTransponder
                  : w.count > 1                              ? dbase::steps::MovePrograms
                                                             : dbase::steps::MoveProgram;
    return dbase::MoveInList(db, list.what, list.slots, positions, dbase::MoveKind::To, static_cast<int>(w.to - 1));
}

bool ParseMarkState(const std::string& state) {
    if (state != "0" && state != "1") throw UsageError("the mark is set with 1 or cleared with 0, not " + state);
    return state == "1";
}

} // namespace

void AddReorderEditCommands(std::vector<EditCommand>& list) {
    list.push_back({"sort",
                    "sort FILE tv|radio name|fav|tp -o OUT",
                    dbase::steps::SortPrograms,
                    {},
                    3,
                    3,
                    [](const ParsedArgs& p) {
                        ParseKind(p.positional[1]);
                        ParseSortKey(p.positional[2]);
                    },
                    [](const ParsedArgs& p, dbase::Database& db, EditReport&) {
                        dbase::SortPrograms(db, ParseKind(p.positional[1]), ParseSortKey(p.positional[2]));
                        return dbase::Status::Ok();
                    }});
    list.push_back({"swap",
                    "swap FILE sat|tp|prog A B -o OUT",
                    "",
                    {},
                    4,
                    4,
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
    list.push_back({"move",
                    "move FILE tv|radio|sat|tp [SATSLOT] FROM TO [--count N] -o OUT",
                    "",
                    {"--count"},
                    4,
                    5,
                    [](const ParsedArgs& p) { ParseMoveWords(p); },
                    MoveBlock});
    list.push_back({"mark",
                    "mark FILE SLOT fav:N|lock|skip -o OUT",
                    "",
                    {},
                    3,
                    3,
                    [](const ParsedArgs& p) {
                        ParseInteger(p.positional[1], "SLOT");
                        ParseMarkMode(p.positional[2]);
                    },
                    [](const ParsedArgs& p, dbase::Database& db, EditReport& report) {
                        const long long slot = ParseInteger(p.positional[1], "SLOT");
                        const int button = ParseMarkMode(p.positional[2]);
                        if (slot < 0 || slot >= db.ProgCount)
                            return dbase::Status::Error(dbase::StatusCode::NotFound,
                                                        "There is no program in slot " + p.positional[1] + "!");
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
    list.push_back({"set-mark",
                    "set-mark FILE fav:N|lock|skip 0|1 SLOT... -o OUT",
                    "",
                    {},
                    4,
                    kAnyCount,
                    [](const ParsedArgs& p) {
                        ParseMarkMode(p.positional[1]);
                        ParseMarkState(p.positional[2]);
                        SlotArgs(p, 3, false);
                    },
                    [](const ParsedArgs& p, dbase::Database& db, EditReport& report) {
                        const int button = ParseMarkMode(p.positional[1]);
                        const bool on = ParseMarkState(p.positional[2]);
                        const std::vector<int> slots = SlotArgs(p, 3, false);
                        for (int slot : slots)
                            if (dbase::Status s = dbase::CheckProgSlot(db, slot); !s) return s;
                        report.step = dbase::steps::SetMarks(button, on);
                        dbase::SetMarks(db, slots, button, on);
                        return dbase::Status::Ok();
                    }});
    list.push_back({"fav-lock",
                    "fav-lock FILE GROUP 0|1 -o OUT",
                    "",
                    {},
                    3,
                    3,
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
