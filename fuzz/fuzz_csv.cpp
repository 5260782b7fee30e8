// Reading a CSV list from arbitrary bytes and putting a loaded database into
// its order. The first byte chooses the database (bit 0: the bundled sample
// or one with every table full), whether names are taken (bit 1) and whether
// the result's own export is read back (bit 2); the rest is the file.
//
// A refusal names its line. An accepted list: every row is found at most
// once and only among programs of its kind, the counts add up, the database
// keeps every invariant, the found programs lead their kind in the list's
// order with their other fields untouched and the list's marks set, and the
// result's export finds every program again.
#include "SampleData.h"

#include "editing/Consistency.h"
#include "editing/Lists.h"
#include "editing/Reorder.h"
#include "format/Image.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

using namespace dbase;

[[noreturn]] void Fail(const char* what, const std::vector<std::string>& details = {}) {
    std::fprintf(stderr, "fuzz_csv: %s\n", what);
    for (const std::string& d : details) std::fprintf(stderr, "  %s\n", d.c_str());
    std::abort();
}

// The stored bytes of a program that a list does not change: all but the
// favourite mask (18-19), the lock and skip bits (22) and the name (24-38).
bool SameUntouched(const ProgRec& a, const ProgRec& b, bool names) {
    for (int i = 0; i < kProgRecSize; ++i) {
        if (i == 18 || i == 19 || (names && i >= 24 && i <= 38)) continue;
        if (i == 22 ? (a[i] & 0xFC) != (b[i] & 0xFC) : a[i] != b[i]) return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 65536) return 0;
    static const auto sampleDb = sample::BuildSample();
    static const auto fullDb = sample::BuildFull(1);
    static auto work = NewDatabase();
    const Database& start = (data[0] & 1) ? *fullDb : *sampleDb;
    const bool names = data[0] & 2;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    ListFile list;
    const Status read = ReadListCsv(text, names, list);
    if (!read) {
        const std::string& m = read.message();
        if (m.rfind("Line ", 0) != 0 && m != "The list is empty: it has no header line.")
            Fail("a refusal that names no line", {m});
        return 0;
    }
    int lastLine = 1;
    for (const ListRow& r : list.rows) {
        if (r.line <= lastLine) Fail("rows out of line order");
        lastLine = r.line;
        if (list.hasFav != r.fav.has_value()) Fail("a favourites cell read without the column, or lost");
    }

    const ListPlan plan = PlanListOrder(start, list);
    const ProgLists lists = AllProgs(start);
    const int inUse = static_cast<int>(lists.tv.size() + lists.radio.size());
    if (plan.match.size() != list.rows.size() || plan.matched + plan.notFound != static_cast<int>(list.rows.size()) ||
        plan.matched + plan.notListed != inUse)
        Fail("the counts do not add up");
    std::vector<bool> taken(kProgSlots, false);
    for (size_t i = 0; i < plan.match.size(); ++i) {
        const int p = plan.match[i];
        if (p < 0) continue;
        if (p >= start.ProgCount || taken[static_cast<size_t>(p)]) Fail("a program found twice or not in use");
        taken[static_cast<size_t>(p)] = true;
        if ((start.Prog.data[p].IsRadio != 0) != list.rows[i].match.radio)
            Fail("a row found a program of the other kind");
    }

    *work = start;
    ApplyListOrder(*work, list, plan, names);
    if (auto problems = FindInconsistencies(*work); !problems.empty()) Fail("the order broke the model", problems);
    size_t next[2] = {0, 0};
    const std::vector<int> kindSlots[2] = {KindSlots(start, ProgKind::Tv), KindSlots(start, ProgKind::Radio)};
    for (size_t i = 0; i < plan.match.size(); ++i) {
        const int p = plan.match[i];
        if (p < 0) continue;
        const ListRow& row = list.rows[i];
        const int kind = row.match.radio ? 1 : 0;
        const int now = kindSlots[kind][next[kind]++];
        const ProgData& d = work->Prog.data[now];
        if (!SameUntouched(start.Prog.rec[p], work->Prog.rec[now], names))
            Fail("a found program's other fields changed");
        if ((row.lock && d.Lock != *row.lock) || (row.skip && d.Skip != *row.skip) ||
            (row.fav && FavMaskValue(d.FavMask) != *row.fav))
            Fail("a found program lacks the list's marks");
        if (names && row.match.name && d.Name != *row.match.name) Fail("a found program lacks the list's name");
    }

    if (data[0] & 4) {
        ListFile again;
        if (!ReadListCsv(ExportListCsv(*work), true, again) && !ReadListCsv(ExportListCsv(*work), false, again))
            Fail("the export of the result can not be read");
        if (PlanListOrder(*work, again).notFound != 0) Fail("the export of the result does not find every program");
    }
    return 0;
}
