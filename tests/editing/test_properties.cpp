// Long random sequences of editing operations on random valid databases.
// After every step the model's invariants hold (FindInconsistencies), a
// refused operation has changed nothing and refused for the reason it names,
// and from time to time a save and a reopen give back the same stored records.
//
// The same sequences run as steps of a document's history, with undo and
// redo between them: every undo gives back the data as it was before the
// step, every redo the data after it, and at the end the saved file equals
// the file the steps that remain give when applied alone.
//
// The seeds are fixed so that a failure repeats. ORBITLIST_PROPERTY_SEEDS
// (runs per kind of database) and ORBITLIST_PROPERTY_STEPS (steps per run)
// make the test run longer.
#include "TestDb.h"

#include "base/Bits.h"
#include "base/Messages.h"
#include "document/Document.h"
#include "editing/Consistency.h"
#include "editing/EditorFields.h"
#include "editing/Entries.h"
#include "editing/IniImport.h"
#include "editing/Marks.h"
#include "editing/Moves.h"
#include "editing/Reorder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <functional>
#include <random>
#include <string_view>

using namespace dbase;

namespace {

int EnvInt(const char* name, int fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::max(1, std::atoi(v)) : fallback;
}

// A name in quotes for the log, bytes outside printable ASCII as \xNN.
std::string Quoted(const std::string& s) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (unsigned char c : s)
        out += c >= 0x20 && c < 0x7F ? std::string(1, static_cast<char>(c))
                                     : std::string("\\x") + hex[c >> 4] + hex[c & 15];
    return out + "\"";
}

// A hash of every stored byte and count: what a refused operation must
// leave as it was. The tables are hashed whole, as the bytes they hold.
size_t Fingerprint(const Database& db) {
    size_t h = 0;
    auto add = [&h](const void* p, size_t n) {
        const size_t part = std::hash<std::string_view>{}(std::string_view(static_cast<const char*>(p), n));
        h = h * 1000003u ^ part;
    };
    add(db.Sat.rec.data(), sizeof db.Sat.rec);
    add(db.Tp.rec.data(), sizeof db.Tp.rec);
    add(db.Prog.rec.data(), sizeof db.Prog.rec);
    add(db.Audio.rec.data(), sizeof db.Audio.rec);
    const uint16_t counts[] = {db.SatCount, db.TpCount, db.ProgCount, db.AudioCount};
    add(counts, sizeof counts);
    add(db.SatTpCounts.data(), db.SatTpCounts.size());
    add(db.FavNameBlock.data(), db.FavNameBlock.size());
    add(db.FavLocks.data(), db.FavLocks.size());
    return h;
}

// A random database built with the sample builders: 1 to 8 satellites, each
// with 1 to 12 transponders, programs spread over them with extra audio
// tracks (some of them selected), named groups. With `edges`, satellite 0 holds 150 transponders and
// its first transponder 120 programs, so that both per-entry limits are met.
std::unique_ptr<Database> RandomSmall(uint32_t seed, bool edges) {
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto db = testdb::Empty();
    const int sats = pick(1, 8);
    std::vector<int> tps;
    for (int s = 0; s < sats; ++s) {
        sample::SatSpec satSpec{"Sat " + std::to_string(s), pick(0, 3600)};
        satSpec.type = pick(0, 2);
        satSpec.tone = pick(0, 2);
        satSpec.power = pick(0, 3);
        sample::AddSat(*db, satSpec);
        const int n = edges && s == 0 ? kMaxTpsPerSat : pick(1, 12);
        for (int i = 0; i < n; ++i)
            tps.push_back(sample::AddTp(*db, s, pick(3000, 12750), pick(0, 1), pick(2000, 45000), pick(0, 6)));
    }
    // Transponders of different satellites lie in mixed slots.
    if (pick(0, 1)) {
        const int a = tps[pick(0, static_cast<int>(tps.size()) - 1)];
        const int b = tps[pick(0, static_cast<int>(tps.size()) - 1)];
        if (db->Tp.data[a].SatIndex == db->Tp.data[b].SatIndex) SwapTransponders(*db, a, b);
    }
    const int progs = edges ? kMaxProgsPerTp + pick(0, 40) : pick(0, 60);
    for (int p = 0; p < progs; ++p) {
        const int tp =
            edges && p < kMaxProgsPerTp ? tps[0] : tps[pick(edges ? 1 : 0, static_cast<int>(tps.size()) - 1)];
        sample::ProgSpec progSpec = testdb::Prog("Prog " + std::to_string(p), pick(0, 3) == 0, pick(32, 8000));
        progSpec.fav = static_cast<uint16_t>(pick(0, 3) == 0 ? pick(0, 0xFFFF) : 0);
        progSpec.lock = pick(0, 9) == 0;
        progSpec.skip = pick(0, 9) == 0;
        progSpec.scrambled = pick(0, 3) == 0;
        progSpec.ca = {static_cast<uint8_t>(pick(0, 80)), 0, 0, 0};
        const int slot = sample::AddProg(*db, tp, progSpec);
        const int tracks = std::max(0, pick(-3, 3));
        for (int a = 0; a < tracks; ++a) sample::AddAudio(*db, slot, pick(32, 8000), "eng");
        // The editor then shows the selected extra track (or, for a track the
        // table does not hold, the program's own audio PID).
        if (tracks > 0 && pick(0, 1)) {
            db->Prog.rec[slot][10] = static_cast<uint8_t>(pick(1, tracks + 1));
            db->Prog.data[slot] = DecodeProg(db->Prog.rec[slot], db->Tp);
        }
    }
    for (int g = 0; g < kFavGroups; ++g)
        if (pick(0, 1)) sample::NameFav(*db, g, "Group " + std::to_string(g));
    return db;
}

// The tables, counts and favourite fields of two databases, in both forms.
bool SameData(const Database& a, const Database& b) {
    return a.Sat.rec == b.Sat.rec && a.Sat.data == b.Sat.data && a.Tp.rec == b.Tp.rec && a.Tp.data == b.Tp.data &&
           a.Prog.rec == b.Prog.rec && a.Prog.data == b.Prog.data && a.Audio.rec == b.Audio.rec &&
           a.Audio.data == b.Audio.data && a.SatCount == b.SatCount && a.TpCount == b.TpCount &&
           a.ProgCount == b.ProgCount && a.AudioCount == b.AudioCount && a.SatTpCounts == b.SatTpCounts &&
           a.TpAlignWord == b.TpAlignWord && a.FavNameBlock == b.FavNameBlock && a.FavNames == b.FavNames &&
           a.FavLocks == b.FavLocks && a.FavLocksStored == b.FavLocksStored && a.Carried == b.Carried;
}

// Applies random operations to one database and checks it after each.
class Run {
public:
    Run(Database& db, uint32_t seed) : db_(db), rng_(seed), collator_("C") {}

    // Returns false after reporting the first failure.
    bool Steps(int count) {
        for (int i = 0; i < count; ++i) {
            step_ = i;
            OneStep();
            if (::testing::Test::HasFailure()) return Report("the step failed its own checks");
            if (auto problems = FindInconsistencies(db_); !problems.empty()) return Report(problems);
            if (i % 25 == 24 || i == count - 1)
                if (!RoundTripHolds()) return false;
        }
        return true;
    }

    // One random operation, its choices drawn from `seed` alone, so that it
    // can be made again on the same data.
    void StepFromSeed(uint32_t seed) {
        rng_.seed(seed);
        OneStep();
    }

private:
    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool Chance(int percent) { return Pick(1, 100) <= percent; }

    void Log(std::string what) {
        log_.push_back("step " + std::to_string(step_) + ": " + std::move(what));
        if (log_.size() > 12) log_.pop_front();
    }

    bool Report(const std::vector<std::string>& problems) {
        std::string text;
        for (const auto& p : problems) text += "  " + p + "\n";
        return Report(text);
    }
    bool Report(const std::string& what) {
        std::string history;
        for (const auto& l : log_) history += "  " + l + "\n";
        ADD_FAILURE() << "after step " << step_ << ":\n" << what << "\nlast operations:\n" << history;
        return false;
    }

    bool RoundTripHolds() {
        static auto scratch = NewDatabase();
        const RoundTrip r = SaveAndReopen(db_, SaveMode::Default, scratch.get());
        if (!r.saved) return Report("the save was refused: " + r.saved.message());
        if (!r.differences.empty()) return Report(r.differences);
        if (auto problems = FindInconsistencies(*scratch); !problems.empty()) return Report(problems);
        return true;
    }

    // ------------------------------------------------------------ choices

    int AnySat() { return db_.SatCount > 0 ? Pick(0, db_.SatCount - 1) : 0; }
    int UsedTp() {
        std::vector<int> used;
        for (int t = 0; t < kTpSlots; ++t)
            if (db_.Tp.data[t].Used == 1) used.push_back(t);
        return used.empty() ? -1 : used[static_cast<size_t>(Pick(0, static_cast<int>(used.size()) - 1))];
    }
    int AnyProg() { return db_.ProgCount > 0 ? Pick(0, db_.ProgCount - 1) : -1; }

    // A name of up to `max` ISO 8859-1 characters, sometimes with blanks at
    // its ends, characters outside ASCII or control characters, sometimes
    // empty or one too long.
    std::string Name(size_t max) {
        const int len = Chance(5) ? 0 : Chance(5) ? static_cast<int>(max) + 1 : Pick(1, static_cast<int>(max));
        std::string s;
        for (int i = 0; i < len; ++i) {
            const int kind = Pick(0, 49);
            const int c = kind < 5 ? ' ' : kind < 10 ? Pick(0xA0, 0xFF) : kind == 10 ? Pick(0, 31) : Pick('A', 'z');
            s.push_back(static_cast<char>(c));
        }
        return s;
    }

    // A number text for a field of range lo..hi: mostly inside, sometimes at
    // or past an end, with leading zeros, empty or not a number.
    std::string NumberText(int lo, int hi) {
        switch (Pick(0, 9)) {
        case 0: return "";
        case 1: return std::to_string(hi + 1);
        case 2: return Chance(50) ? std::to_string(lo) : std::to_string(hi);
        case 3: return "0" + std::to_string(Pick(lo, hi));
        case 4: return Chance(50) ? "12a" : " 5";
        default: return std::to_string(Pick(lo, hi));
        }
    }

    // ---------------------------------------------------------- operations

    void OneStep() {
        using Op = void (Run::*)();
        static const std::pair<int, Op> ops[] = {
            {8, &Run::AddTransponder}, {10, &Run::AddProgram}, {8, &Run::DeleteProgram}, {5, &Run::DeleteTransponder},
            {2, &Run::DeleteEmpty},    {2, &Run::Reset},       {2, &Run::Clear},         {4, &Run::Import},
            {3, &Run::SwapSats},       {4, &Run::SwapTps},     {5, &Run::SwapProgs},     {3, &Run::Sort},
            {8, &Run::Toggle},         {2, &Run::FavLock},     {8, &Run::EditProgram},   {6, &Run::EditTransponder},
            {5, &Run::EditSatellite},  {3, &Run::FavName},     {6, &Run::MoveBlock},     {3, &Run::DeleteSeveral},
            {3, &Run::MarkSeveral},
        };
        int total = 0;
        for (const auto& [w, op] : ops) total += w;
        int r = Pick(1, total);
        for (const auto& [w, op] : ops) {
            if ((r -= w) > 0) continue;
            (this->*op)();
            return;
        }
    }

    // A refusal changes nothing.
    void ExpectUnchanged(size_t before, const std::string& why) {
        EXPECT_EQ(Fingerprint(db_), before) << "refused (" << why << ") but changed the database";
    }

    void AddTransponder() {
        const int sat = Chance(5) ? db_.SatCount : AnySat();
        TpInput in{NumberText(1000, 12750), NumberText(1000, 45000), Pick(-1, 1), Pick(-1, 6)};
        Log("add transponder to satellite " + std::to_string(sat) + " (" + in.freq + " " + in.sym + ")");
        const size_t before = Fingerprint(db_);
        TpValues v;
        if (CheckTransponder(in, v)) return ExpectUnchanged(before, "editor");
        int slot = -1;
        const Status s = dbase::AddTransponder(db_, dbase::SatSlot(sat), v, &slot);
        if (!s) {
            ExpectUnchanged(before, s.message());
            if (s.message() == msg::MaxTransponders)
                EXPECT_EQ(db_.TpCount, kTpSlots);
            else if (s.message() == msg::MaxTranspondersPerSat)
                EXPECT_EQ(db_.SatTpCounts[sat], kMaxTpsPerSat);
            else
                EXPECT_GE(sat, db_.SatCount) << s.message();
            return;
        }
        EXPECT_EQ(db_.Tp.data[slot].TpNo, db_.SatTpCounts[sat]);
    }

    void AddProgram() {
        const int tp = Chance(3) ? Pick(0, kTpSlots - 1) : UsedTp();
        if (tp < 0) return;
        ProgInput in{Name(15),
                     NumberText(0, 8191),
                     Chance(50) ? "" : NumberText(0, 8191),
                     NumberText(0, 8191),
                     Chance(50) ? "" : NumberText(0, 8191),
                     NumberText(0, 8191),
                     Chance(50) ? "" : NumberText(0, 65535),
                     Chance(20),
                     Chance(20),
                     static_cast<uint16_t>(Pick(0, 0xFFFF))};
        const bool radio = Chance(30);
        Log("add program " + Quoted(in.name) + " on transponder " + std::to_string(tp));
        const size_t before = Fingerprint(db_);
        const bool wasFull = db_.ProgCount >= kProgSlots;
        const bool tpFull = CountTpPrograms(db_, tp) >= kMaxProgsPerTp;
        ProgValues v;
        if (CheckProgram(in, v)) return ExpectUnchanged(before, "editor");
        int slot = -1;
        const Status s = dbase::AddProgram(db_, dbase::TpSlot(tp), radio, v, &slot);
        if (!s) {
            ExpectUnchanged(before, s.message());
            if (s.message() == msg::MaxPrograms)
                EXPECT_TRUE(wasFull);
            else if (s.message() == msg::MaxProgramsPerTp)
                EXPECT_TRUE(tpFull);
            else
                EXPECT_NE(db_.Tp.data[tp].Used, 1) << s.message();
            return;
        }
        EXPECT_FALSE(wasFull || tpFull) << "added beyond a limit";
        EXPECT_EQ(slot, db_.ProgCount - 1);
        EXPECT_EQ(db_.Prog.data[slot].Name, v.name);
    }

    void DeleteProgram() {
        const int slot = AnyProg();
        if (slot < 0) return;
        Log("delete program " + std::to_string(slot));
        const int count = db_.ProgCount;
        dbase::DeleteProgram(db_, slot);
        EXPECT_EQ(db_.ProgCount, count - 1);
    }

    void DeleteTransponder() {
        const int tp = UsedTp();
        if (tp < 0) return;
        const int sat = db_.Tp.data[tp].SatIndex;
        const int before = db_.SatTpCounts[sat];
        Log("delete transponder " + std::to_string(tp));
        const TpDeleteResult r = dbase::DeleteTransponder(db_, dbase::TpSlot(tp), dbase::SatSlot(sat));
        EXPECT_EQ(r.PlaceholderTpMade, before == 1);
        EXPECT_EQ(db_.SatTpCounts[sat], std::max(1, before - 1));
    }

    void DeleteEmpty() {
        const bool oneSat = Chance(50);
        const int sat = AnySat();
        Log(oneSat ? "delete the empty transponders of satellite " + std::to_string(sat)
                   : "delete all empty transponders");
        if (oneSat)
            views.ListSatTps(db_, sat);
        else
            views.ListAllTps(db_);
        const std::vector<int> empty = EmptyTransponders(db_, views.TpList);
        const int progs = db_.ProgCount;
        EXPECT_EQ(DeleteTransponders(db_, empty), static_cast<int>(empty.size()));
        EXPECT_EQ(db_.ProgCount, progs) << "only empty transponders go";
    }

    void Reset() {
        const int sat = AnySat();
        Log("reset satellite " + std::to_string(sat));
        ResetSatellite(db_, sat);
        EXPECT_EQ(db_.Sat.data[sat].Name, "NEWSAT");
        EXPECT_EQ(db_.SatTpCounts[sat], 1);
    }

    void Clear() {
        const int sat = AnySat();
        Log("clear satellite " + std::to_string(sat));
        EXPECT_GE(ClearSatTransponders(db_, sat), 0);
        EXPECT_EQ(db_.SatTpCounts[sat], 1);
    }

    // A generated .ini file: sections in either order of the usual files,
    // 0 to 160 transponder lines (mostly few), odd polarisations and lines
    // that can not be stored.
    std::string IniText() {
        std::string t = Chance(30) ? "[UPDATE]\r\n0=Mar 24, 2018\r\n\r\n" : "";
        t += "[SATTYPE]\r\n1=" + (Chance(5) ? std::string("19.5") : std::to_string(Pick(0, 3600))) + "\r\n";
        t += "2=" + Name(24) + ",extra\r\n\r\n[DVB]\r\n";
        const int n = Chance(10) ? Pick(100, 160) : Pick(0, 12);
        t += "0=" + std::to_string(n) + "\r\n";
        static const char* const pols[] = {"H", "V", "L", "R", "h", "l", "r", "W", ""};
        for (int i = 1; i <= n; ++i) {
            const std::string freq = Chance(3) ? "16384" : std::to_string(Pick(3000, 16383));
            t += std::to_string(i) + "=" + freq + "," + pols[Pick(0, 8)] + "," + std::to_string(Pick(1000, 65535)) +
                 ",34\r\n";
        }
        return t;
    }

    void Import() {
        const int sat = AnySat();
        const IniFile file = ParseIniText(IniText());
        Log("import " + std::to_string(file.tps.size()) + " transponders into satellite " + std::to_string(sat));
        const size_t before = Fingerprint(db_);
        int inUse = 0;
        for (int t = 0; t < kTpSlots; ++t) inUse += db_.Tp.data[t].Used == 1;
        const int after = inUse - db_.SatTpCounts[sat] + std::max<int>(1, static_cast<int>(file.tps.size()));
        const Status s = ImportIni(db_, sat, file);
        if (!s) {
            ExpectUnchanged(before, s.message());
            if (s.message() == msg::IniTpExceed)
                EXPECT_GT(after, kTpSlots);
            else
                EXPECT_FALSE(file.status.ok()) << s.message();
            return;
        }
        EXPECT_LE(after, kTpSlots);
        EXPECT_EQ(db_.TpCount, after);
        EXPECT_EQ(db_.SatTpCounts[sat], std::max<int>(1, static_cast<int>(file.tps.size())));
    }

    void SwapSats() {
        const int a = AnySat(), b = Chance(50) ? a + 1 : AnySat();
        Log("swap satellites " + std::to_string(a) + " and " + std::to_string(b));
        const size_t before = Fingerprint(db_);
        if (const Status s = CheckSatSwap(db_, a, b); !s) return ExpectUnchanged(before, s.message());
        SwapSatellites(db_, a, b);
    }

    void SwapTps() {
        const int a = UsedTp();
        if (a < 0) return;
        views.ListSatTps(db_, db_.Tp.data[a].SatIndex);
        const int b = views.TpList[Pick(0, int(views.TpList.size()) - 1)];
        Log("swap transponders " + std::to_string(a) + " and " + std::to_string(b));
        const size_t before = Fingerprint(db_);
        if (const Status s = CheckTpSwap(db_, a, b); !s) return ExpectUnchanged(before, s.message());
        SwapTransponders(db_, a, b);
    }

    void SwapProgs() {
        const int a = AnyProg(), b = AnyProg();
        if (a < 0) return;
        Log("swap programs " + std::to_string(a) + " and " + std::to_string(b));
        const size_t before = Fingerprint(db_);
        if (const Status s = CheckProgSwap(db_, a, b); !s) return ExpectUnchanged(before, s.message());
        SwapPrograms(db_, a, b);
    }

    void Sort() {
        const ProgKind kind = Chance(50) ? ProgKind::Tv : ProgKind::Radio;
        const SortKey key = static_cast<SortKey>(Pick(0, 2));
        Log("sort " + std::string(kind == ProgKind::Tv ? "TV" : "radio") + " programs by key " +
            std::to_string(static_cast<int>(key)));
        const std::vector<int> before = KindSlots(db_, kind);
        const int count = db_.ProgCount;
        SortPrograms(db_, kind, key, collator_);
        EXPECT_EQ(KindSlots(db_, kind), before) << "a sort moved a program into a slot of the other kind";
        EXPECT_EQ(db_.ProgCount, count);
    }

    void Toggle() {
        const int slot = Chance(5) ? db_.ProgCount : AnyProg();
        const int button = Pick(-1, kMarkButtonCount - 1);
        Log("toggle mark " + std::to_string(button) + " of program " + std::to_string(slot));
        const size_t before = Fingerprint(db_);
        if (!ToggleMarks(db_, slot, button)) return ExpectUnchanged(before, "browse mode or no program");
    }

    void FavLock() {
        const int group = Pick(-1, kFavGroups);
        Log("lock favourite group " + std::to_string(group));
        const size_t before = Fingerprint(db_);
        if (!SetFavLock(db_, group, Chance(50))) return ExpectUnchanged(before, "no group");
    }

    void EditProgram() {
        const int slot = AnyProg();
        if (slot < 0) return;
        ProgInput in = ShowProgram(db_, slot);
        if (Chance(60)) in.name = Name(15);
        if (Chance(40)) in.vid = NumberText(0, 8191);
        if (Chance(40)) in.aud = NumberText(0, 8191);
        if (Chance(30)) in.pcr = NumberText(0, 8191);
        if (Chance(30)) in.pvt = NumberText(0, 8191);
        if (Chance(30)) in.pmt = NumberText(0, 8191);
        if (Chance(30)) in.sid = NumberText(0, 65535);
        if (Chance(30)) in.fav = static_cast<uint16_t>(Pick(0, 0xFFFF));
        if (Chance(20)) in.lock = !in.lock;
        if (Chance(20)) in.skip = !in.skip;
        Log("edit program " + std::to_string(slot) + " " + Quoted(in.name));
        const size_t before = Fingerprint(db_);
        ProgValues v;
        if (const auto r = CheckProgram(in, v)) return ExpectUnchanged(before, r->message);
        ChangeProgram(db_, slot, v);
    }

    void EditTransponder() {
        const int tp = UsedTp();
        if (tp < 0) return;
        TpInput in = ShowTransponder(db_, tp);
        if (Chance(50)) in.freq = NumberText(1000, 12750);
        if (Chance(50)) in.sym = NumberText(1000, 45000);
        if (Chance(30) && TpPolarityEnabled(db_, tp, false)) in.pol = Pick(0, 1);
        if (Chance(30)) in.fec = Pick(-1, 6);
        Log("edit transponder " + std::to_string(tp) + " (" + in.freq + " " + in.sym + ")");
        const size_t before = Fingerprint(db_);
        TpValues v;
        if (const auto r = CheckTransponder(in, v)) return ExpectUnchanged(before, r->message);
        ChangeTransponder(db_, tp, v);
    }

    void EditSatellite() {
        const int sat = AnySat();
        if (db_.SatCount == 0) return;
        SatInput in = ShowSatellite(db_, sat).input;
        if (Chance(40)) in.name = Name(18);
        if (Chance(40)) {
            const int type = Pick(0, 2);
            const LnbPreset p = LnbTypePreset(db_.Sat.data[sat], type);
            in.type = type;
            in.low = p.low;
            in.high = p.high;
            in.tone22k = p.tone22k;
        }
        if (Chance(30)) {
            static const char* const lows[] = {"9750/10600", "9750/10750", "10600", "5150", "30001", "x"};
            const LnbPreset p = LnbLowChange(in.type, lows[Pick(0, 5)], in.high);
            in.low = p.low;
            in.high = p.high;
        }
        if (Chance(20)) in.high = NumberText(0, 30000);
        if (Chance(40)) {
            static const char* const lons[] = {"19.2", "19.20", "0", "360", "360.1", "13.", ".5", "1,5", "", "0.05"};
            in.longitude =
                Chance(50) ? lons[Pick(0, 9)] : std::to_string(Pick(0, 360)) + "." + std::to_string(Pick(0, 9));
        }
        if (Chance(20)) in.diseqc10 = Pick(-1, 4);
        if (Chance(20)) in.diseqc11 = Pick(-1, 16);
        if (Chance(20)) in.power = Pick(-1, 3);
        if (Chance(20)) in.tone22k = Pick(-1, 2);
        Log("edit satellite " + std::to_string(sat) + " " + Quoted(in.name) + " at " + in.longitude);
        const size_t before = Fingerprint(db_);
        SatValues v;
        if (const auto r = CheckSatellite(in, v)) return ExpectUnchanged(before, r->message);
        ChangeSatellite(db_, sat, v);
    }

    // A list a grid shows: the satellites (all, or some as the active-only
    // list shows them), one satellite's transponders, or the TV or radio
    // programs of everything, a satellite or a transponder.
    ListOf ShownList(std::vector<int>& list) {
        switch (Pick(0, 3)) {
        case 0:
            for (int s = 0; s < db_.SatCount; ++s)
                if (Chance(70)) list.push_back(s);
            return ListOf::Satellites;
        case 1:
            if (const int tp = UsedTp(); tp >= 0) list = SatTps(db_, db_.Tp.data[tp].SatIndex);
            return ListOf::Transponders;
        default: {
            const int tp = UsedTp();
            const ProgLists lists = Chance(50) || tp < 0 ? AllProgs(db_)
                                    : Chance(50)         ? TpProgs(db_, tp)
                                                         : SatProgs(db_, db_.Tp.data[tp].SatIndex);
            list = lists.of(Chance(30));
            return ListOf::Programs;
        }
        }
    }

    // A selection of a list of `n`: one entry, a run of them or scattered ones.
    std::vector<int> Selection(int n) {
        std::vector<int> positions;
        const int shape = Pick(0, 2);
        if (shape == 0) {
            positions.push_back(Pick(0, n - 1));
        } else if (shape == 1) {
            const int first = Pick(0, n - 1);
            for (int p = first; p < std::min(n, first + Pick(1, 8)); ++p) positions.push_back(p);
        } else {
            for (int p = 0; p < n; ++p)
                if (Chance(20)) positions.push_back(p);
        }
        return positions;
    }

    // Makes the exchanges of neighbours that a drag would make, each taking
    // an entry past its neighbour, until the list stands in `order`.
    static void SwapIntoOrder(Database& db, ListOf what, const std::vector<int>& list, const std::vector<int>& order) {
        const size_t n = list.size();
        std::vector<int> rank(n), at(n);
        for (size_t i = 0; i < n; ++i) rank[static_cast<size_t>(order[i])] = static_cast<int>(i);
        for (size_t i = 0; i < n; ++i) at[i] = static_cast<int>(i);
        for (size_t i = 1; i < n; ++i)
            for (size_t j = i; j > 0 && rank[static_cast<size_t>(at[j - 1])] > rank[static_cast<size_t>(at[j])]; --j) {
                std::swap(at[j - 1], at[j]);
                const int a = list[j - 1], b = list[j];
                if (what == ListOf::Satellites)
                    SwapSatellites(db, a, b);
                else if (what == ListOf::Transponders)
                    SwapTransponders(db, a, b);
                else
                    SwapPrograms(db, a, b);
            }
    }

    static long Inversions(const std::vector<int>& order) {
        long count = 0;
        for (size_t i = 0; i < order.size(); ++i)
            for (size_t j = i + 1; j < order.size() && count <= 20000; ++j) count += order[i] > order[j];
        return count;
    }

    // A block move gives exactly what the drag steps that make it up give.
    void MoveBlock() {
        std::vector<int> list;
        const ListOf what = ShownList(list);
        if (list.empty()) return;
        const int n = static_cast<int>(list.size());
        const std::vector<int> positions = Selection(n);
        const auto kind = static_cast<MoveKind>(Pick(0, 4));
        const int to = Pick(-1, n);
        Log("move " + std::to_string(positions.size()) + " of " + std::to_string(n) + " entries of list " +
            std::to_string(static_cast<int>(what)) + ", kind " + std::to_string(static_cast<int>(kind)) + " to " +
            std::to_string(to));
        const size_t before = Fingerprint(db_);
        const auto stepwise = testdb::Copy(db_);
        std::vector<int> moved;
        const Status s = MoveInList(db_, what, list, positions, kind, to, &moved);
        if (!s) {
            EXPECT_TRUE(MoveTargets(n, positions, kind, to).empty()) << s.message();
            return ExpectUnchanged(before, s.message());
        }
        ASSERT_EQ(moved.size(), positions.size());
        const std::vector<int> order = MovedOrder(n, positions, moved);
        for (size_t j = 0; j < moved.size(); ++j) EXPECT_EQ(order[static_cast<size_t>(moved[j])], positions[j]);
        if (Inversions(order) > 20000) return; // too many single steps to make them all
        SwapIntoOrder(*stepwise, what, list, order);
        EXPECT_TRUE(SameData(db_, *stepwise)) << "the move differs from its single steps";
    }

    // Deleting several programs at once equals deleting them one by one from
    // the highest slot down.
    void DeleteSeveral() {
        std::vector<int> slots;
        for (int k = Pick(0, 6); k > 0; --k)
            if (const int p = AnyProg(); p >= 0) slots.push_back(p);
        if (Chance(10)) slots.push_back(db_.ProgCount);
        Log("delete " + std::to_string(slots.size()) + " programs at once");
        auto oneByOne = testdb::Copy(db_);
        std::vector<int> sorted = slots;
        std::sort(sorted.rbegin(), sorted.rend());
        sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
        int expected = 0;
        for (int p : sorted)
            if (p < oneByOne->ProgCount) {
                dbase::DeleteProgram(*oneByOne, p);
                ++expected;
            }
        EXPECT_EQ(DeletePrograms(db_, slots), expected);
        EXPECT_TRUE(SameData(db_, *oneByOne)) << "deleting at once differs from deleting one by one";
    }

    void MarkSeveral() {
        std::vector<int> slots;
        for (int k = Pick(1, 6); k > 0; --k)
            if (const int p = AnyProg(); p >= 0) slots.push_back(p);
        const int button = Pick(0, kMarkButtonCount - 1);
        const bool on = Chance(50);
        Log("set mark " + std::to_string(button) + " to " + std::to_string(on) + " on " + std::to_string(slots.size()) +
            " programs");
        SetMarks(db_, slots, button, on);
        for (int p : slots) EXPECT_EQ(HasMark(db_, p, button), on) << "program " << p;
    }

    // Goes on with the database as a save and a reopen leave it: free slots
    // hold what their bytes decode to, and new programs show their stored
    // track count.
    void Reopen() {
        Log("save and reopen");
        static auto scratch = NewDatabase();
        const RoundTrip r = SaveAndReopen(db_, SaveMode::Default, scratch.get());
        ASSERT_TRUE(r.saved.ok()) << r.saved.message();
        ASSERT_TRUE(r.differences.empty()) << r.differences.front();
        db_ = *scratch;
    }

    void FavName() {
        const int group = Pick(0, kFavGroups - 1);
        const std::string name = Name(15);
        Log("name favourite group " + std::to_string(group) + " " + Quoted(name));
        const size_t before = Fingerprint(db_);
        if (const Status s = SetFavName(db_, group, name); !s) return ExpectUnchanged(before, s.message());
    }

    Database& db_;
    testdb::Views views;
    std::mt19937 rng_;
    NameCollator collator_;
    int step_ = 0;
    std::deque<std::string> log_;
};

struct Flavour {
    const char* name;
    std::function<std::unique_ptr<Database>(uint32_t)> build;
    int seeds, steps; // defaults for CI
};

void RunFlavour(const Flavour& f) {
    const int seeds = EnvInt("ORBITLIST_PROPERTY_SEEDS", f.seeds);
    const int steps = EnvInt("ORBITLIST_PROPERTY_STEPS", f.steps);
    for (int seed = 1; seed <= seeds; ++seed) {
        SCOPED_TRACE(std::string(f.name) + " database, seed " + std::to_string(seed));
        auto db = f.build(static_cast<uint32_t>(seed));
        const auto problems = FindInconsistencies(*db);
        ASSERT_TRUE(problems.empty()) << "the starting database: " << problems.front();
        Run run(*db, static_cast<uint32_t>(seed) * 7919u);
        if (!run.Steps(steps)) return;
    }
}

std::vector<uint8_t> SavedBytes(const Database& db) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(BuildSaveBytes(db, SaveMode::Default, bytes).ok());
    return bytes;
}

// Random steps through a document with undo and redo among them. `states[k]`
// is the data after k steps of the history, `seeds[k]` the seed of step k+1.
void RunHistory(const Flavour& f, uint32_t seed, int steps) {
    Document doc(f.build(seed));
    Run run(doc.StepDb(), 0);
    std::mt19937 rng(seed * 104729u);
    auto chance = [&](int percent) { return std::uniform_int_distribution<int>(1, 100)(rng) <= percent; };
    std::vector<std::unique_ptr<Database>> states;
    states.push_back(testdb::Copy(doc.Db()));
    std::vector<uint32_t> seeds;
    for (int i = 0; i < steps; ++i) {
        SCOPED_TRACE("history step " + std::to_string(i));
        if (doc.CanUndo() && chance(25)) {
            ASSERT_TRUE(doc.Undo());
            ASSERT_TRUE(SameData(doc.Db(), *states[doc.Position()])) << "an undo did not give back the data";
            continue;
        }
        if (doc.CanRedo() && chance(30)) {
            ASSERT_TRUE(doc.Redo());
            ASSERT_TRUE(SameData(doc.Db(), *states[doc.Position()])) << "a redo did not give back the data";
            continue;
        }
        const uint32_t stepSeed = seed * 7919u + static_cast<uint32_t>(i);
        const size_t position = doc.Position();
        doc.BeginStep("random step");
        run.StepFromSeed(stepSeed);
        ASSERT_FALSE(::testing::Test::HasFailure());
        if (!doc.EndStep()) {
            ASSERT_TRUE(SameData(doc.Db(), *states[position])) << "a change was not recorded";
            continue;
        }
        ASSERT_EQ(doc.Position(), position + 1);
        ASSERT_FALSE(doc.CanRedo()) << "a new step kept the steps taken back";
        states.resize(position + 1);
        states.push_back(testdb::Copy(doc.Db()));
        seeds.resize(position);
        seeds.push_back(stepSeed);
    }
    // The steps that remain, made again one after another on the starting data.
    auto replayed = f.build(seed);
    Run replay(*replayed, 0);
    for (size_t k = 0; k < doc.Position(); ++k) replay.StepFromSeed(seeds[k]);
    EXPECT_EQ(SavedBytes(doc.Db()), SavedBytes(*replayed)) << "the steps that remain give another file";
}

void RunHistories(const Flavour& f) {
    const int seeds = EnvInt("ORBITLIST_PROPERTY_SEEDS", f.seeds);
    const int steps = EnvInt("ORBITLIST_PROPERTY_STEPS", f.steps);
    for (int seed = 1; seed <= seeds && !::testing::Test::HasFailure(); ++seed) {
        SCOPED_TRACE(std::string(f.name) + " database, seed " + std::to_string(seed));
        RunHistory(f, static_cast<uint32_t>(seed), steps);
    }
}

} // namespace

TEST(Properties, UndoAndRedoOfRandomSteps) {
    RunHistories({"sample", [](uint32_t) { return sample::BuildSample(); }, 3, 200});
    RunHistories({"small", [](uint32_t seed) { return RandomSmall(seed, false); }, 6, 150});
    RunHistories({"edge", [](uint32_t seed) { return RandomSmall(seed, true); }, 2, 150});
    RunHistories({"full", [](uint32_t seed) { return sample::BuildFull(seed); }, 1, 60});
}

TEST(Properties, RandomEditsOfTheSample) {
    RunFlavour({"sample", [](uint32_t) { return sample::BuildSample(); }, 4, 300});
}

TEST(Properties, RandomEditsOfSmallDatabases) {
    RunFlavour({"small", [](uint32_t seed) { return RandomSmall(seed, false); }, 12, 250});
}

TEST(Properties, RandomEditsAtThePerEntryLimits) {
    RunFlavour({"edge", [](uint32_t seed) { return RandomSmall(seed, true); }, 4, 250});
}

TEST(Properties, RandomEditsOfFullDatabases) {
    RunFlavour({"full", [](uint32_t seed) { return sample::BuildFull(seed); }, 2, 120});
}
