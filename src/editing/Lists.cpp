#include "editing/Lists.h"

#include "base/Bits.h"
#include "base/Csv.h"
#include "base/Files.h"
#include "base/Messages.h"
#include "editing/EditorFields.h"
#include "editing/Marks.h"
#include "editing/Reorder.h"
#include "format/Image.h"

#include <algorithm>
#include <unordered_map>

namespace dbase {

// ---------------------------------------------------------------- the key

std::string ProgramLongitude(const Database& db, int slot) {
    const int sat = db.Prog.data[slot].SatIndex;
    return sat < db.SatCount && sat < kSatSlots ? db.Sat.data[sat].Longitude : std::string();
}

ProgKey ProgramKey(const Database& db, int slot) {
    const ProgData& p = db.Prog.data[slot];
    ProgKey key;
    key.longitude = ProgramLongitude(db, slot);
    if (p.TpIndex < static_cast<uint32_t>(kTpSlots) && db.Tp.data[p.TpIndex].Used == 1) {
        key.frequency = db.Tp.data[p.TpIndex].Freq;
        key.polarisation = db.Tp.data[p.TpIndex].PolText;
    }
    key.serviceId = p.ServiceId;
    return key;
}

namespace {

// Appends `part` so that no two sequences of parts give the same text.
void AppendPart(std::string& out, std::string_view part) {
    out += std::to_string(part.size());
    out.push_back(':');
    out.append(part);
}

std::string UpperTrimmed(std::string_view text) {
    std::string s = NumberKey(text);
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// The text a program is found by: its kind, then its key or its longitude and name.
std::string KeyOf(bool radio, const ProgKey& key) {
    std::string s(1, radio ? 'r' : 't');
    s += ProgKeyText(key);
    return s;
}

std::string NameKeyOf(bool radio, const std::string& longitude, const std::string& name) {
    std::string s(1, radio ? 'r' : 't');
    AppendPart(s, NumberKey(longitude));
    AppendPart(s, name);
    return s;
}

// Programs sharing a text, in list order, and the first one not yet looked past.
struct Bucket {
    std::vector<int> slots;
    size_t next = 0;
};
using Buckets = std::unordered_map<std::string, Bucket>;

} // namespace

std::string ProgKeyText(const ProgKey& key) {
    std::string s;
    AppendPart(s, NumberKey(key.longitude));
    AppendPart(s, NumberKey(key.frequency));
    AppendPart(s, UpperTrimmed(key.polarisation));
    AppendPart(s, NumberKey(key.serviceId));
    return s;
}

std::vector<int> MatchPrograms(const Database& db, std::span<const MatchRow> rows) {
    const ProgLists lists = AllProgs(db);
    Buckets byKey, byName;
    byKey.reserve(lists.tv.size() + lists.radio.size());
    byName.reserve(lists.tv.size() + lists.radio.size());
    for (const bool radio : {false, true})
        for (const int p : lists.of(radio)) {
            byKey[KeyOf(radio, ProgramKey(db, p))].slots.push_back(p);
            byName[NameKeyOf(radio, ProgramLongitude(db, p), db.Prog.data[p].Name)].slots.push_back(p);
        }
    std::vector<bool> taken(kProgSlots, false);
    // The first program of the bucket not taken yet, taken now; -1 when none is left.
    auto take = [&](Buckets& buckets, const std::string& text) {
        const auto it = buckets.find(text);
        if (it == buckets.end()) return -1;
        Bucket& b = it->second;
        while (b.next < b.slots.size() && taken[static_cast<size_t>(b.slots[b.next])]) ++b.next;
        if (b.next == b.slots.size()) return -1;
        const int p = b.slots[b.next++];
        taken[static_cast<size_t>(p)] = true;
        return p;
    };
    std::vector<int> match;
    match.reserve(rows.size());
    for (const MatchRow& row : rows) {
        int p = take(byKey, KeyOf(row.radio, row.key));
        if (p < 0 && row.name) p = take(byName, NameKeyOf(row.radio, row.key.longitude, *row.name));
        match.push_back(p);
    }
    return match;
}

std::vector<MatchRow> ProgramRows(const Database& db, const ProgLists& lists) {
    std::vector<MatchRow> rows;
    rows.reserve(lists.tv.size() + lists.radio.size());
    for (const bool radio : {false, true})
        for (const int p : lists.of(radio)) rows.push_back({radio, ProgramKey(db, p), db.Prog.data[p].Name});
    return rows;
}

// ---------------------------------------------------------------- CSV out

namespace {

std::string FavGroupsText(uint16_t mask) {
    std::string s;
    for (int g = 0; g < kFavGroups; ++g)
        if (mask & (1u << g)) s += (s.empty() ? "" : " ") + std::to_string(g + 1);
    return s;
}

// One program of the exported list, with what its columns are read from.
struct ListRowOf {
    const Database& db;
    int slot, number;
    bool radio;
    const ProgData& d;
    const SatData* sat; // its satellite, when it names one below SatCount
    const TpData* tp;   // its transponder, when it names one in use
};

struct ListColumn {
    const char* name;
    void (*value)(const ListRowOf& row, std::string& out);
};

// The columns of an exported list, in order, with their values.
const ListColumn kListColumns[] = {
    {"kind", [](const ListRowOf& r, std::string& s) { s = r.radio ? "radio" : "tv"; }},
    {"number", [](const ListRowOf& r, std::string& s) { s = std::to_string(r.number); }},
    {"slot", [](const ListRowOf& r, std::string& s) { s = std::to_string(r.slot); }},
    {"name", [](const ListRowOf& r, std::string& s) { s = Latin1ToUtf8(r.d.Name); }},
    {"satellite", [](const ListRowOf& r, std::string& s) { s = r.sat ? Latin1ToUtf8(r.sat->Name) : ""; }},
    {"longitude", [](const ListRowOf& r, std::string& s) { s = r.sat ? r.sat->Longitude : ""; }},
    {"frequency", [](const ListRowOf& r, std::string& s) { s = r.tp ? FiveWide(TrimRight(r.tp->Freq)) : ""; }},
    {"polarisation", [](const ListRowOf& r, std::string& s) { s = r.tp ? TrimRight(r.tp->PolText) : ""; }},
    {"symbol_rate", [](const ListRowOf& r, std::string& s) { s = r.tp ? FiveWide(TrimRight(r.tp->SymRate)) : ""; }},
    {"service_id", [](const ListRowOf& r, std::string& s) { s = r.d.ServiceId; }},
    {"video_pid", [](const ListRowOf& r, std::string& s) { s = r.d.VidPid; }},
    {"audio_pid",
     [](const ListRowOf& r, std::string& s) {
         const int audio = ProgramAudioSlot(r.db, r.slot);
         s = audio >= 0 ? r.db.Audio.data[audio].Pid : r.d.AudPid;
     }},
    {"pcr_pid", [](const ListRowOf& r, std::string& s) { s = r.d.PcrPid; }},
    {"pmt_pid", [](const ListRowOf& r, std::string& s) { s = r.d.PmtPid; }},
    {"scrambled", [](const ListRowOf& r, std::string& s) { s = r.d.IsFree == 1 ? "0" : "1"; }},
    {"lock", [](const ListRowOf& r, std::string& s) { s = r.d.Lock ? "1" : "0"; }},
    {"skip", [](const ListRowOf& r, std::string& s) { s = r.d.Skip ? "1" : "0"; }},
    {"favourites", [](const ListRowOf& r, std::string& s) { s = FavGroupsText(FavMaskValue(r.d.FavMask)); }},
};

} // namespace

const std::vector<std::string>& ListColumns() {
    static const std::vector<std::string> columns = [] {
        std::vector<std::string> names;
        for (const ListColumn& c : kListColumns) names.emplace_back(c.name);
        return names;
    }();
    return columns;
}

std::string ExportListCsv(const Database& db) {
    const ProgLists lists = AllProgs(db);
    std::string out;
    out.reserve(120 * (lists.tv.size() + lists.radio.size() + 1));
    AppendCsvRecord(out, ListColumns());
    std::vector<std::string> fields(std::size(kListColumns));
    for (const bool radio : {false, true}) {
        int number = 0;
        for (const int p : lists.of(radio)) {
            const ProgData& d = db.Prog.data[p];
            const int sat = d.SatIndex;
            const bool satInUse = sat < db.SatCount && sat < kSatSlots;
            const bool tpInUse = d.TpIndex < static_cast<uint32_t>(kTpSlots) && db.Tp.data[d.TpIndex].Used == 1;
            const ListRowOf row{db,
                                p,
                                ++number,
                                radio,
                                d,
                                satInUse ? &db.Sat.data[sat] : nullptr,
                                tpInUse ? &db.Tp.data[d.TpIndex] : nullptr};
            for (size_t c = 0; c < fields.size(); ++c) kListColumns[c].value(row, fields[c]);
            AppendCsvRecord(out, fields);
        }
    }
    return out;
}

// ---------------------------------------------------------------- lists in

namespace {

Status LineError(int line, const std::string& what) {
    return Status::Error(StatusCode::Invalid, "Line " + std::to_string(line) + " of the list: " + what);
}

std::string Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// A cell quoted for a message, at most 40 bytes of it (never cutting a UTF-8 character).
std::string Quoted(const std::string& cell) {
    if (cell.size() <= 40) return "\"" + cell + "\"";
    size_t n = 40;
    while (n > 0 && (static_cast<unsigned char>(cell[n]) & 0xC0) == 0x80) --n;
    return "\"" + cell.substr(0, n) + "...\"";
}

std::optional<bool> ReadFlag(const std::string& cell, const char* column, int line, Status& status) {
    const std::string t = Trimmed(cell);
    if (t.empty()) return std::nullopt;
    if (t == "0" || t == "1") return t == "1";
    status = LineError(line, std::string("the ") + column + " cell is 0 or 1, not " + Quoted(cell) + ".");
    return std::nullopt;
}

bool ReadFavGroups(const std::string& cell, uint16_t& mask) {
    mask = 0;
    size_t i = 0;
    while (i < cell.size()) {
        if (cell[i] == ' ' || cell[i] == '\t') {
            ++i;
            continue;
        }
        const size_t end = std::min(cell.find_first_of(" \t", i), cell.size());
        const auto g = DigitsValue(std::string_view(cell).substr(i, end - i), kFavGroups);
        if (!g || *g < 1) return false;
        mask = static_cast<uint16_t>(mask | (1u << (*g - 1)));
        i = end;
    }
    return true;
}

enum Column { Kind, Longitude, Frequency, Polarisation, ServiceId, Name, Lock, Skip, Favourites, ColumnCount };
constexpr const char* kColumnNames[ColumnCount] = {"kind", "longitude", "frequency", "polarisation", "service_id",
                                                   "name", "lock",      "skip",      "favourites"};
constexpr int kRequiredColumns = 5;

} // namespace

Status ReadListCsv(std::string_view text, bool names, ListFile& list) {
    list = {};
    std::vector<CsvRecord> records;
    if (Status s = ReadCsv(text, records); !s) return s;
    if (records.empty()) return Status::Error(StatusCode::Invalid, "The list is empty: it has no header line.");
    const CsvRecord& header = records.front();
    int at[ColumnCount];
    std::fill(std::begin(at), std::end(at), -1);
    for (size_t i = 0; i < header.fields.size(); ++i) {
        const std::string h = Lower(Trimmed(header.fields[i]));
        for (int c = 0; c < ColumnCount; ++c) {
            if (h != kColumnNames[c]) continue;
            if (at[c] >= 0) return LineError(header.line, "the column " + h + " appears twice.");
            at[c] = static_cast<int>(i);
        }
    }
    std::string missing;
    int lacking = 0;
    for (int c = 0; c < kRequiredColumns; ++c)
        if (at[c] < 0) {
            missing += (missing.empty() ? "" : ", ") + std::string(kColumnNames[c]);
            ++lacking;
        }
    if (lacking > 0)
        return LineError(header.line,
                         std::string(lacking == 1 ? "the header lacks the column " : "the header lacks the columns ") +
                             missing + ".");
    list.hasName = at[Name] >= 0;
    list.hasLock = at[Lock] >= 0;
    list.hasSkip = at[Skip] >= 0;
    list.hasFav = at[Favourites] >= 0;
    if (names && !list.hasName) return LineError(header.line, "the header has no name column to take names from.");

    list.rows.reserve(records.size() - 1);
    for (size_t r = 1; r < records.size(); ++r) {
        const CsvRecord& rec = records[r];
        const auto& f = rec.fields;
        if (std::all_of(f.begin(), f.end(), [](const std::string& cell) { return Trimmed(cell).empty(); })) continue;
        if (f.size() != header.fields.size())
            return LineError(rec.line, "the record has " + std::to_string(f.size()) + " fields, the header " +
                                           std::to_string(header.fields.size()) + ".");
        ListRow row;
        row.line = rec.line;
        const std::string kind = Lower(Trimmed(f[static_cast<size_t>(at[Kind])]));
        if (kind != "tv" && kind != "radio")
            return LineError(rec.line,
                             "the kind is tv or radio, not " + Quoted(f[static_cast<size_t>(at[Kind])]) + ".");
        row.match.radio = kind == "radio";
        row.match.key = {f[static_cast<size_t>(at[Longitude])], f[static_cast<size_t>(at[Frequency])],
                         f[static_cast<size_t>(at[Polarisation])], f[static_cast<size_t>(at[ServiceId])]};
        if (list.hasName) {
            const std::string& cell = f[static_cast<size_t>(at[Name])];
            std::string latin1;
            if (Utf8ToLatin1(cell, latin1)) row.match.name = std::move(latin1);
            if (names) {
                const auto why =
                    row.match.name ? ProgramNameRefusal(*row.match.name) : std::optional<std::string>(msg::IllegalData);
                if (why) return LineError(rec.line, "the name " + Quoted(cell) + " is refused: " + *why);
            }
        }
        Status status;
        if (list.hasLock) row.lock = ReadFlag(f[static_cast<size_t>(at[Lock])], "lock", rec.line, status);
        if (list.hasSkip && status) row.skip = ReadFlag(f[static_cast<size_t>(at[Skip])], "skip", rec.line, status);
        if (!status) return status;
        if (list.hasFav) {
            const std::string& cell = f[static_cast<size_t>(at[Favourites])];
            uint16_t mask = 0;
            if (!ReadFavGroups(cell, mask))
                return LineError(rec.line, "the favourites cell holds group numbers 1 to 16 separated by blanks, not " +
                                               Quoted(cell) + ".");
            row.fav = mask;
        }
        list.rows.push_back(std::move(row));
    }
    return Status::Ok();
}

Status ReadListCsvFile(const std::string& path, bool names, ListFile& list) {
    std::vector<uint8_t> bytes;
    if (Status s = ReadFileLimited(path, kMaxListFileBytes, "The list is larger than 16 MiB.", bytes); !s) return s;
    return ReadListCsv(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), names, list);
}

Status ListFromDatabase(const Database& ref, bool names, ListFile& list) {
    list = {};
    list.hasName = list.hasLock = list.hasSkip = list.hasFav = true;
    const ProgLists lists = AllProgs(ref);
    std::vector<MatchRow> rows = ProgramRows(ref, lists);
    list.rows.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const int p = i < lists.tv.size() ? lists.tv[i] : lists.radio[i - lists.tv.size()];
        const ProgData& d = ref.Prog.data[p];
        if (names)
            if (const auto why = ProgramNameRefusal(d.Name))
                return Status::Error(StatusCode::Invalid,
                                     "The program in slot " + std::to_string(p) +
                                         " of the reference file has a name the program editor refuses: " + *why);
        ListRow row;
        // The line its exported record would start on.
        row.line = static_cast<int>(i) + 2;
        row.match = std::move(rows[i]);
        row.lock = d.Lock != 0;
        row.skip = d.Skip != 0;
        row.fav = FavMaskValue(d.FavMask);
        list.rows.push_back(std::move(row));
    }
    return Status::Ok();
}

ListPlan PlanListOrder(const Database& db, const ListFile& list) {
    std::vector<MatchRow> rows;
    rows.reserve(list.rows.size());
    for (const ListRow& r : list.rows) rows.push_back(r.match);
    ListPlan plan;
    plan.match = MatchPrograms(db, rows);
    for (size_t i = 0; i < plan.match.size(); ++i) {
        if (plan.match[i] >= 0) {
            ++plan.matched;
        } else {
            ++plan.notFound;
            plan.notFoundRows.push_back(i);
        }
    }
    const ProgLists lists = AllProgs(db);
    plan.notListed = static_cast<int>(lists.tv.size() + lists.radio.size()) - plan.matched;
    return plan;
}

std::string ListSummary(const ListPlan& plan) {
    return std::to_string(plan.matched) + " matched, " + std::to_string(plan.notFound) + " rows not found, " +
           std::to_string(plan.notListed) + " programs not in the list";
}

void ApplyListOrder(Database& db, const ListFile& list, const ListPlan& plan, bool names) {
    std::vector<bool> matched(kProgSlots, false);
    std::vector<int> first[2];
    for (size_t i = 0; i < list.rows.size() && i < plan.match.size(); ++i) {
        const int p = plan.match[i];
        if (p < 0) continue;
        const ListRow& row = list.rows[i];
        SetProgramMarks(db, p, row.lock, row.skip, row.fav);
        if (names && row.match.name) SetProgramName(db, p, *row.match.name);
        matched[static_cast<size_t>(p)] = true;
        first[db.Prog.data[p].IsRadio != 0 ? 1 : 0].push_back(p);
    }
    for (const ProgKind kind : {ProgKind::Tv, ProgKind::Radio}) {
        std::vector<int> order = std::move(first[kind == ProgKind::Radio ? 1 : 0]);
        for (const int p : KindSlots(db, kind))
            if (!matched[static_cast<size_t>(p)]) order.push_back(p);
        ApplyProgramOrder(db, kind, order);
    }
}

// ---------------------------------------------------------------- duplicates

std::vector<std::vector<int>> DuplicateGroups(const Database& db) {
    const ProgLists lists = AllProgs(db);
    std::unordered_map<std::string, std::vector<int>> byKey, byName;
    for (const bool radio : {false, true})
        for (const int p : lists.of(radio)) {
            byKey[KeyOf(radio, ProgramKey(db, p))].push_back(p);
            std::string onTp(1, radio ? 'r' : 't');
            AppendPart(onTp, std::to_string(db.Prog.data[p].TpIndex));
            AppendPart(onTp, db.Prog.data[p].Name);
            byName[onTp].push_back(p);
        }
    std::vector<std::vector<int>> groups;
    for (const auto* buckets : {&byKey, &byName})
        for (const auto& [text, slots] : *buckets)
            if (slots.size() >= 2) groups.push_back(slots);
    std::sort(groups.begin(), groups.end());
    groups.erase(std::unique(groups.begin(), groups.end()), groups.end());
    return groups;
}

std::vector<int> DuplicatesToSelect(const std::vector<std::vector<int>>& groups) {
    std::vector<int> firsts, select;
    for (const auto& g : groups)
        if (!g.empty()) firsts.push_back(g.front());
    std::sort(firsts.begin(), firsts.end());
    for (const auto& g : groups)
        for (size_t i = 1; i < g.size(); ++i)
            if (!std::binary_search(firsts.begin(), firsts.end(), g[i])) select.push_back(g[i]);
    std::sort(select.begin(), select.end());
    select.erase(std::unique(select.begin(), select.end()), select.end());
    return select;
}

} // namespace dbase
