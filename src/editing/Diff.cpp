#include "editing/Diff.h"

#include "base/Bits.h"
#include "editing/Lists.h"
#include "model/Fields.h"

#include <algorithm>
#include <array>
#include <concepts>
#include <string_view>
#include <type_traits>
#include <unordered_map>

namespace dbase {

const char* DiffKindName(DiffKind kind) {
    switch (kind) {
    case DiffKind::Added: return "added";
    case DiffKind::Removed: return "removed";
    case DiffKind::Changed: return "changed";
    case DiffKind::Moved: return "moved";
    }
    return "";
}

const char* DiffSectionTitle(DiffSection s) {
    switch (s) {
    case DiffSection::Satellites: return "Satellites";
    case DiffSection::Transponders: return "Transponders";
    case DiffSection::Programs: return "Programs";
    case DiffSection::Favourites: return "Favourite groups";
    }
    return "";
}

const std::vector<DiffEntry>& DatabaseDiff::of(DiffSection s) const {
    switch (s) {
    case DiffSection::Satellites: return satellites;
    case DiffSection::Transponders: return transponders;
    case DiffSection::Programs: return programs;
    case DiffSection::Favourites: break;
    }
    return favourites;
}

bool DatabaseDiff::Same() const {
    return satellites.empty() && transponders.empty() && programs.empty() && favourites.empty();
}

namespace {

DiffValue Text(const std::string& text) { return {text, false}; }
DiffValue Num(long long v) { return {std::to_string(v), true}; }

DiffValue Value(const std::string& text) { return Text(text); }
DiffValue Value(std::integral auto v) { return Num(static_cast<long long>(v)); }
template <size_t N> DiffValue Value(const std::array<uint8_t, N>& bytes) { return {ByteListText(bytes), true}; }

// Collects the fields that differ between the two sides of a pair.
class Fields {
public:
    // A field of a record: a decimal text compares by value ("05750" is
    // 5750), anything else as it stands.
    template <class T> void add(const FieldInfo& field, const T& a, const T& b) {
        if (a == b) return;
        if constexpr (std::is_same_v<T, std::string>)
            if (field.kind == FieldKind::Decimal && NumberKey(a) == NumberKey(b)) return;
        changes_.push_back({field.name, Value(a), Value(b)});
    }
    // A text compared exactly.
    void text(const char* field, const std::string& a, const std::string& b) {
        if (a != b) changes_.push_back({field, Text(a), Text(b)});
    }
    std::vector<FieldChange> take() { return std::move(changes_); }

private:
    std::vector<FieldChange> changes_;
};

// The changes of the compared fields of two records of one table.
template <class Data> std::vector<FieldChange> ComparedFields(const Data& a, const Data& b) {
    Fields f;
    VisitFields(a, b, [&f](const FieldInfo& field, const auto& x, const auto& y) {
        if (field.role == FieldRole::Compared) f.add(field, x, y);
    });
    return f.take();
}

int SatSlots(const Database& db) { return std::min<int>(db.SatCount, kSatSlots); }

std::string SatLongitude(const Database& db, int sat) {
    return sat >= 0 && sat < SatSlots(db) ? db.Sat.data[sat].Longitude : std::string();
}

// Pairs the entities of `b` with those of `a` that share their text, each
// `a` entity once, in order. Returns for each `b` entity its `a` partner or -1.
std::vector<int> Pair(const std::vector<std::string>& aTexts, const std::vector<std::string>& bTexts) {
    std::unordered_map<std::string, std::vector<int>> byText;
    for (size_t i = aTexts.size(); i-- > 0;) byText[aTexts[i]].push_back(static_cast<int>(i));
    std::vector<int> partner;
    partner.reserve(bTexts.size());
    for (const std::string& t : bTexts) {
        auto it = byText.find(t);
        if (it == byText.end() || it->second.empty()) {
            partner.push_back(-1);
        } else {
            partner.push_back(it->second.back());
            it->second.pop_back();
        }
    }
    return partner;
}

// The entries of one section: `removed` are the `a` entities without a
// partner, `added` the `b` ones, `changed` the pairs whose fields differ.
template <class KeyFn, class FieldsFn>
void DiffSectionOf(std::vector<DiffEntry>& out, const Database& a, const std::vector<int>& aItems, const Database& b,
                   const std::vector<int>& bItems, const std::vector<int>& partner, KeyFn keyOf, FieldsFn fieldsOf) {
    std::vector<bool> paired(aItems.size(), false);
    for (const int p : partner)
        if (p >= 0) paired[static_cast<size_t>(p)] = true;
    for (size_t i = 0; i < bItems.size(); ++i)
        if (partner[i] < 0) {
            DiffEntry e = keyOf(b, bItems[i]);
            e.kind = DiffKind::Added;
            e.slot = bItems[i];
            out.push_back(std::move(e));
        }
    for (size_t i = 0; i < aItems.size(); ++i)
        if (!paired[i]) {
            DiffEntry e = keyOf(a, aItems[i]);
            e.kind = DiffKind::Removed;
            e.slot = aItems[i];
            out.push_back(std::move(e));
        }
    for (size_t i = 0; i < bItems.size(); ++i) {
        if (partner[i] < 0) continue;
        std::vector<FieldChange> changes = fieldsOf(aItems[static_cast<size_t>(partner[i])], bItems[i]);
        if (changes.empty()) continue;
        DiffEntry e = keyOf(b, bItems[i]);
        e.kind = DiffKind::Changed;
        e.slot = bItems[i];
        e.fields = std::move(changes);
        out.push_back(std::move(e));
    }
}

// What pairs a transponder: its satellite's longitude, frequency and polarisation.
std::string TpText(const Database& db, int t) {
    const TpData& d = db.Tp.data[t];
    return ProgKeyText({SatLongitude(db, d.SatIndex), d.Freq, d.PolText, {}});
}

std::vector<FieldChange> ProgFields(const Database& a, int pa, const Database& b, int pb) {
    Fields f;
    VisitFields(a.Prog.data[pa], b.Prog.data[pb], [&](const FieldInfo& field, const auto& x, const auto& y) {
        if (field.role == FieldRole::Compared) {
            f.add(field, x, y);
        } else if (std::string_view(field.name) == "TpIndex") {
            // The slot differs from file to file: the transponder is compared
            // by what it is, where the link stands.
            const ProgKey ka = ProgramKey(a, pa), kb = ProgramKey(b, pb);
            if (ProgKeyText({{}, ka.frequency, ka.polarisation, {}}) !=
                ProgKeyText({{}, kb.frequency, kb.polarisation, {}}))
                f.text("Transponder", ka.frequency + " " + ka.polarisation, kb.frequency + " " + kb.polarisation);
        }
    });
    return f.take();
}

DiffEntry ProgEntry(const Database& db, int p) {
    const ProgKey key = ProgramKey(db, p);
    DiffEntry e;
    e.key = {{"kind", Text(db.Prog.data[p].IsRadio ? "radio" : "tv")},
             {"longitude", Text(key.longitude)},
             {"frequency", Text(key.frequency)},
             {"polarisation", Text(key.polarisation)},
             {"service_id", Text(key.serviceId)}};
    e.name = db.Prog.data[p].Name;
    return e;
}

void DiffPrograms(const Database& a, const Database& b, std::vector<DiffEntry>& out) {
    const ProgLists la = AllProgs(a), lb = AllProgs(b);
    const std::vector<MatchRow> rows = ProgramRows(b, lb);
    const std::vector<int> match = MatchPrograms(a, rows);
    std::vector<int> bItems, aItems, partner;
    for (const bool radio : {false, true})
        for (const int p : lb.of(radio)) bItems.push_back(p);
    // The `a` programs as items, and each `b` program's partner as an index into them.
    std::vector<int> aIndex(kProgSlots, -1);
    for (const bool radio : {false, true})
        for (const int p : la.of(radio)) {
            aIndex[static_cast<size_t>(p)] = static_cast<int>(aItems.size());
            aItems.push_back(p);
        }
    for (const int p : match) partner.push_back(p >= 0 ? aIndex[static_cast<size_t>(p)] : -1);
    DiffSectionOf(out, a, aItems, b, bItems, partner, ProgEntry,
                  [&](int pa, int pb) { return ProgFields(a, pa, b, pb); });
    // The numbers the window shows: place in the list of the entry's side.
    std::vector<int> numberInA(kProgSlots, 0), numberInB(kProgSlots, 0);
    for (const bool radio : {false, true}) {
        int n = 0;
        for (const int p : la.of(radio)) numberInA[static_cast<size_t>(p)] = ++n;
        n = 0;
        for (const int p : lb.of(radio)) numberInB[static_cast<size_t>(p)] = ++n;
    }
    for (DiffEntry& e : out)
        e.number = (e.kind == DiffKind::Removed ? numberInA : numberInB)[static_cast<size_t>(e.slot)];

    // Moves: the rank among the paired programs of the kind on each side.
    std::vector<int> partnerOf(kProgSlots, -1); // `a` slot -> `b` slot
    for (size_t i = 0; i < bItems.size(); ++i)
        if (match[i] >= 0) partnerOf[static_cast<size_t>(match[i])] = bItems[i];
    for (const bool radio : {false, true}) {
        std::vector<int> rankInA(kProgSlots, 0);
        int rank = 0;
        for (const int p : la.of(radio))
            if (partnerOf[static_cast<size_t>(p)] >= 0) rankInA[static_cast<size_t>(p)] = ++rank;
        rank = 0;
        const size_t offset = radio ? lb.tv.size() : 0;
        const std::vector<int>& list = lb.of(radio);
        for (size_t i = 0; i < list.size(); ++i) {
            const int pa = match[offset + i];
            if (pa < 0) continue;
            ++rank;
            if (rankInA[static_cast<size_t>(pa)] == rank) continue;
            DiffEntry e = ProgEntry(b, list[i]);
            e.kind = DiffKind::Moved;
            e.slot = list[i];
            e.number = numberInB[static_cast<size_t>(list[i])];
            e.positions[0] = rankInA[static_cast<size_t>(pa)];
            e.positions[1] = rank;
            e.numbers[0] = numberInA[static_cast<size_t>(pa)];
            e.numbers[1] = e.number;
            out.push_back(std::move(e));
        }
    }
}

} // namespace

DatabaseDiff DiffDatabases(const Database& a, const Database& b) {
    DatabaseDiff diff;

    std::vector<int> sa, sb;
    std::vector<std::string> ta, tb;
    for (int s = 0; s < SatSlots(a); ++s) {
        sa.push_back(s);
        ta.push_back(NumberKey(a.Sat.data[s].Longitude));
    }
    for (int s = 0; s < SatSlots(b); ++s) {
        sb.push_back(s);
        tb.push_back(NumberKey(b.Sat.data[s].Longitude));
    }
    DiffSectionOf(
        diff.satellites, a, sa, b, sb, Pair(ta, tb),
        [](const Database& db, int s) {
            DiffEntry e;
            e.key = {{"longitude", Text(db.Sat.data[s].Longitude)}};
            e.name = db.Sat.data[s].Name;
            return e;
        },
        [&](int x, int y) { return ComparedFields(a.Sat.data[x], b.Sat.data[y]); });

    const std::vector<int> tpa = AllTps(a), tpb = AllTps(b);
    ta.clear();
    tb.clear();
    for (const int t : tpa) ta.push_back(TpText(a, t));
    for (const int t : tpb) tb.push_back(TpText(b, t));
    DiffSectionOf(
        diff.transponders, a, tpa, b, tpb, Pair(ta, tb),
        [](const Database& db, int t) {
            const TpData& d = db.Tp.data[t];
            DiffEntry e;
            e.key = {{"longitude", Text(SatLongitude(db, d.SatIndex))},
                     {"frequency", Text(d.Freq)},
                     {"polarisation", Text(d.PolText)}};
            return e;
        },
        [&](int x, int y) {
            // A transponder's changes name its symbol rate first, as the
            // transponder list's columns run.
            std::vector<FieldChange> changes = ComparedFields(a.Tp.data[x], b.Tp.data[y]);
            std::stable_partition(changes.begin(), changes.end(),
                                  [](const FieldChange& c) { return c.field == "SymRate"; });
            return changes;
        });

    DiffPrograms(a, b, diff.programs);

    for (int g = 0; g < kFavGroups; ++g) {
        Fields f;
        VisitFavFields(
            g, [&f](const FieldInfo& field, const auto& x, const auto& y) { f.add(field, x, y); }, a, b);
        std::vector<FieldChange> changes = f.take();
        if (changes.empty()) continue;
        DiffEntry e;
        e.kind = DiffKind::Changed;
        e.key = {{"group", Num(g + 1)}};
        e.name = b.FavNames[static_cast<size_t>(g)];
        e.fields = std::move(changes);
        diff.favourites.push_back(std::move(e));
    }
    return diff;
}

namespace {

// Names, empty texts and texts with blanks are quoted; numbers and codes are not.
std::string ValueText(const std::string& field, const DiffValue& v) {
    const bool quote = !v.raw && (field == "Name" || v.text.empty() || v.text.find(' ') != std::string::npos);
    return quote ? "\"" + v.text + "\"" : v.text;
}

} // namespace

std::string DiffEntryText(DiffSection section, const DiffEntry& e) {
    std::string s = section == DiffSection::Favourites ? "group" : "";
    for (const auto& [field, value] : e.key) {
        if (!s.empty()) s += ' ';
        s += value.text;
    }
    if (e.name) s += " \"" + *e.name + "\"";
    if (section == DiffSection::Programs && e.kind != DiffKind::Moved && e.number > 0)
        s += " (NO." + std::to_string(e.number) + ")";
    if (e.kind == DiffKind::Changed) {
        s += ":";
        for (size_t i = 0; i < e.fields.size(); ++i)
            s += (i ? ", " : " ") + e.fields[i].field + " " + ValueText(e.fields[i].field, e.fields[i].before) +
                 " -> " + ValueText(e.fields[i].field, e.fields[i].after);
    } else if (e.kind == DiffKind::Moved) {
        s += ": position " + std::to_string(e.positions[0]) + " -> " + std::to_string(e.positions[1]) + " (NO." +
             std::to_string(e.numbers[0]) + " -> NO." + std::to_string(e.numbers[1]) + ")";
    }
    return s;
}

std::vector<std::string> DiffLines(const DatabaseDiff& diff) {
    if (diff.Same()) return {"The files are the same."};
    std::vector<std::string> lines;
    for (const DiffSection section :
         {DiffSection::Satellites, DiffSection::Transponders, DiffSection::Programs, DiffSection::Favourites}) {
        const std::vector<DiffEntry>& entries = diff.of(section);
        if (entries.empty()) continue;
        lines.push_back(std::string(DiffSectionTitle(section)) + ":");
        for (const DiffEntry& e : entries) {
            std::string kind = DiffKindName(e.kind);
            kind.resize(9, ' ');
            lines.push_back("  " + kind + DiffEntryText(section, e));
        }
    }
    return lines;
}

} // namespace dbase
