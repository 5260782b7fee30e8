#include "editing/Consistency.h"

#include "base/Bits.h"
#include "editing/EditorFields.h"
#include "format/Image.h"
#include "model/Fields.h"

#include <algorithm>
#include <span>
#include <sstream>

namespace dbase {

namespace {

// Collects problems up to the limit.
class Problems {
public:
    explicit Problems(size_t max) : max_(max) {}
    bool full() const { return list_.size() >= max_; }
    void add(std::string text) {
        if (!full()) list_.push_back(std::move(text));
    }
    std::vector<std::string> take() { return std::move(list_); }

private:
    size_t max_;
    std::vector<std::string> list_;
};

// A text in quotes, control characters written as \xNN so that a message
// shows where a name holds one.
std::string Show(const std::string& s) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c < 0x20 || c == 0x7F)
            out += std::string("\\x") + hex[c >> 4] + hex[c & 15];
        else
            out += static_cast<char>(c);
    }
    return out + "\"";
}
template <class T> std::string Show(const T& v) {
    if constexpr (std::is_integral_v<T>) {
        return std::to_string(static_cast<long long>(v));
    } else {
        std::ostringstream out;
        for (size_t i = 0; i < v.size(); ++i) out << (i ? " " : "") << static_cast<int>(v[i]);
        return out.str();
    }
}

// Names the fields in which a decoded record and the decoding of its stored
// bytes differ, with both values.
class FieldDiff {
public:
    template <class T> void operator()(const char* name, const T& kept, const T& decoded) {
        if (kept == decoded) return;
        text_ +=
            std::string(text_.empty() ? "" : ", ") + name + " " + Show(kept) + " where the bytes give " + Show(decoded);
    }
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

template <class Data> std::string FieldsDiff(const Data& kept, const Data& decoded) {
    FieldDiff f;
    VisitFields(kept, decoded, [&f](const FieldInfo& field, const auto& a, const auto& b) { f(field.name, a, b); });
    return f.text();
}

// The decoding of a satellite's bytes, with the texts the editor keeps as
// typed taken from `kept` when they name the stored value.
SatData ExpectedSat(const SatRec& rec, const SatData& kept) {
    SatData d = DecodeSat(rec);
    if (const auto high = DigitsValue(kept.LnbHigh, 0xFFFF); high && *high == satrec::LnbHigh::Get(rec))
        d.LnbHigh = kept.LnbHigh;
    if (const auto tenths = LongitudeTenths(kept.Longitude);
        tenths && static_cast<unsigned>(*tenths) == satrec::Position::Get(rec))
        d.Longitude = kept.Longitude;
    // A name cut from an .ini file keeps its last blank until the file is read again.
    const auto field = satrec::Name::Bytes(rec);
    if (kept.Name.size() <= field.size() && kept.Name != d.Name && TrimRight(kept.Name) == d.Name &&
        std::equal(kept.Name.begin(), kept.Name.end(), field.begin(),
                   [](char c, uint8_t b) { return static_cast<uint8_t>(c) == b; }))
        d.Name = kept.Name;
    return d;
}

// The decoding of a transponder's bytes into `d`; an imported polarisation
// letter is kept when it gives the stored code ("H" horizontal, anything else
// vertical).
void ExpectedTp(const TpRec& rec, const TpData& kept, TpData& d) {
    DecodeTp(rec, d);
    if (kept.PolText != d.PolText && d.Pol == (kept.PolText == "H" ? 0 : 1)) d.PolText = kept.PolText;
}

void ExpectedProg(const ProgRec& rec, const TpTable& tps, const ProgData& kept, ProgData& d) {
    DecodeProg(rec, tps, d);
    // A program the editor adds stores 4 tracks and shows 1 until the next load.
    if (progrec::AudioTracks::Get(rec) == kNewProgramTracks && kept.AudioTracks == 1) d.AudioTracks = 1;
}

std::string SlotName(const char* table, int slot) { return std::string(table) + " slot " + std::to_string(slot); }

void CheckTransponders(const Database& db, const ConsistencyOptions& options, Problems& problems) {
    const int satCount = db.SatCount;
    std::vector<int> perSat(kSatSlots, 0);
    std::vector<std::vector<uint8_t>> numbers(kSatSlots);
    int used = 0;
    TpData expected;
    const TpRec emptyRec = EmptyTpRec();
    const TpData emptyData = EmptyTpData();
    for (int t = 0; t < kTpSlots && !problems.full(); ++t) {
        const TpData& d = db.Tp.data[t];
        const TpRec& r = db.Tp.rec[t];
        if (d.Used != 1) {
            if (d.Used != 0) problems.add(SlotName("transponder", t) + " has Used " + Show(d.Used));
            if (tprec::Used::Get(r) != 0)
                problems.add(SlotName("transponder", t) + " is free but its stored record is in use");
            else if (options.emptyFreeSlots && r != emptyRec)
                problems.add(SlotName("transponder", t) + " is free but does not hold the empty record");
            else if (!(d == emptyData)) {
                // A slot freed by the system holds the empty decoded record;
                // one read from a file holds the decoding of its bytes.
                DecodeTp(r, expected);
                if (!(d == expected))
                    problems.add(SlotName("transponder", t) + " is free: " + DecodedDifferences(d, expected));
            }
            continue;
        }
        ++used;
        ExpectedTp(r, d, expected);
        if (!(d == expected)) problems.add(SlotName("transponder", t) + ": " + DecodedDifferences(d, expected));
        if (d.SatIndex >= satCount) {
            problems.add(SlotName("transponder", t) + " names satellite " + Show(d.SatIndex) + " of " + Show(satCount));
            continue;
        }
        ++perSat[d.SatIndex];
        auto& seen = numbers[d.SatIndex];
        if (seen.size() <= d.TpNo) seen.resize(d.TpNo + 1, 0);
        ++seen[d.TpNo];
    }
    if (problems.full()) return;
    if (db.TpCount != used)
        problems.add("TpCount is " + Show(db.TpCount) + " but " + Show(used) + " transponder slots are in use");
    for (int s = 0; s < std::min(satCount, kSatSlots) && !problems.full(); ++s) {
        const std::string sat = "satellite " + std::to_string(s);
        if (db.SatTpCounts[s] != perSat[s])
            problems.add(sat + " counts " + Show(db.SatTpCounts[s]) + " transponders but has " + Show(perSat[s]));
        if (perSat[s] < 1) problems.add(sat + " has no transponder");
        if (perSat[s] > kMaxTpsPerSat) problems.add(sat + " has more than 150 transponders");
        const auto& seen = numbers[s];
        for (size_t n = 0; n < seen.size(); ++n) {
            const bool wanted = n >= 1 && n <= static_cast<size_t>(perSat[s]);
            if (seen[n] == (wanted ? 1 : 0)) continue;
            problems.add(sat + " has " + Show(seen[n]) + " transponders numbered " + Show(n) + " (numbers run 1 to " +
                         Show(perSat[s]) + ")");
            break;
        }
        if (seen.size() <= static_cast<size_t>(perSat[s]) && perSat[s] > 0)
            problems.add(sat + " lacks transponder number " + Show(perSat[s]));
    }
}

void CheckPrograms(const Database& db, Problems& problems) {
    if (db.ProgCount > kProgSlots) {
        problems.add("ProgCount is " + Show(db.ProgCount) + ", more than 3,000");
        return;
    }
    std::vector<int> perTp(kTpSlots, 0);
    ProgData expected;
    for (int p = 0; p < db.ProgCount && !problems.full(); ++p) {
        const ProgData& d = db.Prog.data[p];
        auto slot = [p] { return SlotName("program", p); };
        if (d.Used != 1) problems.add(slot() + " lies below ProgCount but is not in use");
        ExpectedProg(db.Prog.rec[p], db.Tp, d, expected);
        if (!(d == expected)) problems.add(slot() + ": " + DecodedDifferences(d, expected));
        if (d.TpIndex >= static_cast<uint32_t>(kTpSlots) || db.Tp.data[d.TpIndex].Used != 1) {
            problems.add(slot() + " names transponder " + Show(d.TpIndex) + ", which is not in use");
            continue;
        }
        if (d.SatIndex != db.Tp.data[d.TpIndex].SatIndex)
            problems.add(slot() + " names satellite " + Show(d.SatIndex) + " but its transponder belongs to " +
                         Show(db.Tp.data[d.TpIndex].SatIndex));
        if (d.Used == 1 && ++perTp[d.TpIndex] == kMaxProgsPerTp + 1)
            problems.add("transponder " + Show(d.TpIndex) + " carries more than 120 programs");
    }
}

void CheckAudio(const Database& db, const ConsistencyOptions& options, Problems& problems) {
    if (db.AudioCount > kAudioSlots) {
        problems.add("AudioCount is " + Show(db.AudioCount) + ", more than 1,000");
        return;
    }
    for (int a = 0; a < kAudioSlots && !problems.full(); ++a) {
        const AudioData& d = db.Audio.data[a];
        const AudioRec& r = db.Audio.rec[a];
        const std::string slot = SlotName("audio", a);
        if (a < db.AudioCount) {
            if (d.Used != 1) problems.add(slot + " lies below AudioCount but is not in use");
            if (d.ProgIndex >= db.ProgCount)
                problems.add(slot + " names program " + Show(d.ProgIndex) + " of " + Show(db.ProgCount));
            if (const std::string diff = DecodedDifferences(d, DecodeAudio(r)); !diff.empty())
                problems.add(slot + ": " + diff);
        } else {
            if (d.Used != 0 || audiorec::Used::Get(r) != 0)
                problems.add(slot + " lies beyond AudioCount but is in use");
            if (options.emptyFreeSlots && r != EmptyAudioRec())
                problems.add(slot + " is free but does not hold the empty record");
            else if (!(d == EmptyAudioData()) && !(d == DecodeAudio(r)))
                problems.add(slot + " is free: " + DecodedDifferences(d, DecodeAudio(r)));
        }
    }
}

} // namespace

std::string DecodedDifferences(const SatData& kept, const SatData& decoded) { return FieldsDiff(kept, decoded); }
std::string DecodedDifferences(const TpData& kept, const TpData& decoded) { return FieldsDiff(kept, decoded); }
std::string DecodedDifferences(const ProgData& kept, const ProgData& decoded) { return FieldsDiff(kept, decoded); }
std::string DecodedDifferences(const AudioData& kept, const AudioData& decoded) { return FieldsDiff(kept, decoded); }

std::vector<std::string> FindInconsistencies(const Database& db, const ConsistencyOptions& options) {
    Problems problems(options.maxProblems);
    if (db.SatCount > kMaxSatsInImage) problems.add("SatCount is " + Show(db.SatCount) + ", more than an image holds");
    for (int s = 0; s < std::min<int>(db.SatCount, kSatSlots) && !problems.full(); ++s)
        if (const std::string diff = DecodedDifferences(db.Sat.data[s], ExpectedSat(db.Sat.rec[s], db.Sat.data[s]));
            !diff.empty())
            problems.add(SlotName("satellite", s) + ": " + diff);
    CheckTransponders(db, options, problems);
    CheckPrograms(db, problems);
    CheckAudio(db, options, problems);
    for (int g = 0; g < kFavGroups && !problems.full(); ++g) {
        const std::string stored = FavNameOf(db.FavNameBlock, g);
        if (db.FavNames[g] != stored)
            problems.add("favourite group " + Show(g + 1) + " is named " + Show(db.FavNames[g]) +
                         " where the bytes give " + Show(stored));
    }
    return problems.take();
}

namespace {

template <class Rec, size_t N>
void CompareRecords(const char* table, const std::array<Rec, N>& a, const std::array<Rec, N>& b, int count,
                    std::vector<std::string>& out) {
    for (int i = 0; i < count; ++i)
        if (a[static_cast<size_t>(i)] != b[static_cast<size_t>(i)]) {
            out.push_back(SlotName(table, i) + " reads back with other bytes");
            return;
        }
}

} // namespace

RoundTrip SaveAndReopen(const Database& db, SaveMode mode, Database* scratch) {
    RoundTrip result;
    std::vector<uint8_t> bytes;
    result.saved = BuildSaveBytes(db, mode, bytes);
    if (!result.saved) return result;
    std::unique_ptr<Database> own;
    Database* again = scratch;
    if (!again) {
        own = NewDatabase();
        again = own.get();
    }
    std::vector<std::string>& diff = result.differences;
    if (Status s = OpenImageBytes(bytes, KindFromSize(bytes.size()), *again); !s) {
        diff.push_back("the saved file does not open: " + s.message());
        return result;
    }
    auto count = [&](const char* name, unsigned a, unsigned b) {
        if (a != b) diff.push_back(std::string(name) + " " + Show(a) + " reads back as " + Show(b));
    };
    count("SatCount", db.SatCount, again->SatCount);
    count("TpCount", db.TpCount, again->TpCount);
    count("ProgCount", db.ProgCount, again->ProgCount);
    count("AudioCount", db.AudioCount, again->AudioCount);
    const int sats = std::min<int>(db.SatCount, kMaxSatsInImage);
    for (int s = 0; s < sats; ++s)
        count(("SatTpCounts of satellite " + std::to_string(s)).c_str(), db.SatTpCounts[s], again->SatTpCounts[s]);
    CompareRecords("satellite", db.Sat.rec, again->Sat.rec, sats, diff);
    CompareRecords("transponder", db.Tp.rec, again->Tp.rec, kTpSlots, diff);
    CompareRecords("program", db.Prog.rec, again->Prog.rec, kProgSlots, diff);
    CompareRecords("audio", db.Audio.rec, again->Audio.rec, kAudioSlots, diff);
    if (db.FavNameBlock != again->FavNameBlock) diff.emplace_back("the favourite names read back otherwise");
    if (db.FavLocks != again->FavLocks) diff.emplace_back("the favourite locks read back otherwise");
    if (db.Carried != again->Carried) diff.emplace_back("the carried image bytes read back otherwise");
    // The alignment word stands only where the transponder table does not cover it.
    const int word = img::SatTpCounts + sats, table = TpTableOffset(sats);
    for (int i = 0; i < 2; ++i)
        if (word + i < table && db.TpAlignWord[i] != again->TpAlignWord[i])
            diff.push_back("byte " + std::to_string(i) + " of the alignment word reads back otherwise");
    return result;
}

} // namespace dbase
