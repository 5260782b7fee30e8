// info and dump: the contents of a data file, for people and for programs.
#include "Commands.h"
#include "Common.h"
#include "Json.h"

#include "base/Bits.h"
#include "format/Image.h"
#include "model/Fields.h"

#include <array>
#include <concepts>
#include <iomanip>
#include <sstream>
#include <string_view>
#include <utility>

namespace cli {

namespace {

using dbase::Database;

// The keys and values of the dump's "file" and "counts" objects, in order;
// `quoted` tells which values are texts.
struct Field {
    std::string key, value;
    bool quoted;
};

std::vector<Field> FileFields(const dbase::OpenedFile& f) {
    return {{"kind", f.size == dbase::kChannelFileSize ? "channel" : "default", true},
            {"size", std::to_string(f.size), false},
            {"placement", f.container.front ? "front" : "back", true},
            {"streamLength", std::to_string(f.container.length), false},
            {"container", f.container.large ? "large" : "small", true}};
}

std::vector<Field> CountFields(const Database& db) {
    return {{"SatCount", std::to_string(db.SatCount), false},
            {"TpCount", std::to_string(db.TpCount), false},
            {"ProgCount", std::to_string(db.ProgCount), false},
            {"AudioCount", std::to_string(db.AudioCount), false},
            {"TpAlignWord", std::to_string(db.TpAlignWord[0] | (db.TpAlignWord[1] << 8)), false}};
}

std::string JsonObject(const std::vector<Field>& fields) {
    std::string s = "{";
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i) s += ", ";
        s += JsonString(fields[i].key) + ": " + (fields[i].quoted ? JsonString(fields[i].value) : fields[i].value);
    }
    return s + "}";
}

template <class Items> void JsonArray(std::ostream& out, const char* key, const Items& items, bool last = false) {
    out << JsonString(key) << ": [";
    for (size_t i = 0; i < items.size(); ++i) out << (i ? ",\n  " : "\n  ") << items[i];
    out << (items.empty() ? "]" : "\n]") << (last ? "\n" : ",\n");
}

// Adds a field of a decoded record to a JSON object: texts as strings,
// numbers as they stand, byte lists as arrays.
struct JsonField {
    JsonObj& o;
    void operator()(const dbase::FieldInfo& field, const std::string& text) const { o.text(field.name, text); }
    void operator()(const dbase::FieldInfo& field, std::integral auto v) const {
        o.num(field.name, static_cast<long long>(v));
    }
    template <size_t N> void operator()(const dbase::FieldInfo& field, const std::array<uint8_t, N>& bytes) const {
        o.raw(field.name, dbase::ByteListText(bytes));
    }
};

// One decoded record of slot `slot` as a JSON object, every field but `omit`.
template <class Data> std::string JsonRecord(int slot, const Data& d, std::string_view omit = {}) {
    JsonObj o;
    o.num("slot", slot);
    dbase::VisitFields(d, [&](const dbase::FieldInfo& field, const auto& v) {
        if (field.name != omit) JsonField{o}(field, v);
    });
    return o.str();
}

void DumpJson(std::ostream& out, const Database& db, const dbase::OpenedFile& f) {
    out << "{" << JsonString("file") << ": " << JsonObject(FileFields(f)) << ",\n"
        << JsonString("counts") << ": " << JsonObject(CountFields(db)) << ",\n";
    out << JsonString("SatTpCounts") << ": [";
    for (int i = 0; i < db.SatCount; ++i) out << (i ? ", " : "") << int(db.SatTpCounts[i]);
    out << "],\n";

    std::vector<std::string> items;
    items.reserve(static_cast<size_t>(db.SatCount));
    for (int i = 0; i < db.SatCount; ++i) items.push_back(JsonRecord(i, db.Sat.data[i]));
    JsonArray(out, "satellites", items);

    items.clear();
    // Only transponders in use are listed, so their Used field goes without saying.
    for (int t = 0; t < dbase::kTpSlots; ++t)
        if (db.Tp.data[t].Used == 1) items.push_back(JsonRecord(t, db.Tp.data[t], "Used"));
    JsonArray(out, "transponders", items);

    items.clear();
    for (int p = 0; p < db.ProgCount; ++p) items.push_back(JsonRecord(p, db.Prog.data[p]));
    JsonArray(out, "programs", items);

    items.clear();
    for (int a = 0; a < db.AudioCount; ++a) items.push_back(JsonRecord(a, db.Audio.data[a]));
    JsonArray(out, "audio", items);

    items.clear();
    for (int g = 0; g < dbase::kFavGroups; ++g) {
        JsonObj o;
        o.num("group", g + 1);
        dbase::VisitFavFields(g, JsonField{o}, db);
        items.push_back(o.str());
    }
    JsonArray(out, "favourites", items, true);
    out << "}\n";
}

// A plain-text table: the first row is the header.
void Table(std::ostream& out, const std::string& title, const std::vector<std::vector<std::string>>& rows) {
    out << title << '\n';
    std::vector<size_t> width;
    for (const auto& r : rows)
        for (size_t c = 0; c < r.size(); ++c) {
            if (width.size() <= c) width.push_back(0);
            width[c] = std::max(width[c], r[c].size());
        }
    for (const auto& r : rows) {
        out << "  ";
        for (size_t c = 0; c < r.size(); ++c)
            out << std::left << std::setw(static_cast<int>(width[c]) + (c + 1 < r.size() ? 2 : 0)) << r[c];
        out << '\n';
    }
    out << '\n';
}

void DumpText(std::ostream& out, const Database& db, const dbase::OpenedFile& f) {
    for (const Field& x : FileFields(f)) out << x.key << ": " << x.value << '\n';
    for (const Field& x : CountFields(db)) out << x.key << ": " << x.value << '\n';
    out << '\n';

    std::vector<std::vector<std::string>> rows = {{"slot", "name", "position", "lnb", "transponders"}};
    for (int i = 0; i < db.SatCount; ++i) {
        const auto& d = db.Sat.data[i];
        rows.push_back({std::to_string(i), Latin1ToUtf8(d.Name), d.Longitude, d.LnbLow + "/" + d.LnbHigh,
                        std::to_string(db.SatTpCounts[i])});
    }
    Table(out, "Satellites", rows);

    rows = {{"slot", "sat", "no", "freq", "pol", "sym", "fec"}};
    for (int t = 0; t < dbase::kTpSlots; ++t) {
        const auto& d = db.Tp.data[t];
        if (d.Used == 1)
            rows.push_back({std::to_string(t), std::to_string(d.SatIndex), std::to_string(d.TpNo), d.Freq, d.PolText,
                            d.SymRate, d.FecText});
    }
    Table(out, "Transponders", rows);

    rows = {{"slot", "kind", "name", "tp", "vid", "aud", "pcr", "sid", "marks", "fav"}};
    for (int p = 0; p < db.ProgCount; ++p) {
        const auto& d = db.Prog.data[p];
        std::string marks = std::string(d.IsFree == 1 ? "" : "$") + (d.Lock ? "L" : "") + (d.Skip ? "S" : "");
        rows.push_back({std::to_string(p), d.IsRadio ? "radio" : "tv", Latin1ToUtf8(d.Name), std::to_string(d.TpIndex),
                        d.VidPid, d.AudPid, d.PcrPid, d.ServiceId, marks, d.FavMask});
    }
    Table(out, "Programs", rows);

    rows = {{"slot", "program", "pid", "lang"}};
    for (int a = 0; a < db.AudioCount; ++a) {
        const auto& d = db.Audio.data[a];
        rows.push_back({std::to_string(a), std::to_string(d.ProgIndex), d.Pid, Latin1ToUtf8(d.Lang)});
    }
    Table(out, "Audio tracks", rows);

    rows = {{"group", "name", "locked"}};
    for (int g = 0; g < dbase::kFavGroups; ++g)
        rows.push_back({std::to_string(g + 1), Latin1ToUtf8(db.FavNames[g]), db.FavLocks[g] ? "yes" : "no"});
    Table(out, "Favourite groups", rows);
}

} // namespace

int CmdInfo(const Args& args, std::ostream& out, std::ostream& err) {
    const ParsedArgs p = ParseArgs(args, {}, {}, 1, 1);
    auto db = dbase::NewDatabase();
    dbase::OpenedFile f;
    if (dbase::Status s = OpenInput(p.positional[0], *db, &f); !s) return Fail(err, s);
    for (const Field& x : FileFields(f)) out << x.key << ": " << x.value << '\n';
    for (const Field& x : CountFields(*db)) out << x.key << ": " << x.value << '\n';
    return 0;
}

int CmdDump(const Args& args, std::ostream& out, std::ostream& err) {
    const ParsedArgs p = ParseArgs(args, {}, {"--json"}, 1, 1);
    auto db = dbase::NewDatabase();
    dbase::OpenedFile f;
    if (dbase::Status s = OpenInput(p.positional[0], *db, &f); !s) return Fail(err, s);
    if (p.has("--json"))
        DumpJson(out, *db, f);
    else
        DumpText(out, *db, f);
    return 0;
}

} // namespace cli
