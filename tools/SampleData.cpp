#include "SampleData.h"

#include "format/DataFile.h"
#include "format/Image.h"

#include <algorithm>
#include <random>
#include <stdexcept>

namespace sample {

using namespace dbase;

int AddSat(Database& db, const SatSpec& s) {
    const int slot = db.SatCount++;
    using namespace satrec;
    SatRec& r = db.Sat.rec[slot];
    r.fill(0);
    WriteDefaultLnb(r);
    LnbLow::Set(r, static_cast<unsigned>(s.low));
    LnbHigh::Set(r, static_cast<unsigned>(s.high));
    Position::Set(r, static_cast<unsigned>(s.tenths));
    LnbType::Set(r, static_cast<unsigned>(s.type));
    Tone22K::Set(r, static_cast<unsigned>(s.tone));
    Diseqc10::Set(r, static_cast<unsigned>(s.diseqc10));
    LnbPower::Set(r, static_cast<unsigned>(s.power));
    Diseqc11::Set(r, static_cast<unsigned>(s.diseqc11));
    WriteSatName(r, s.name);
    db.Sat.data[slot] = DecodeSat(r);
    db.SatTpCounts[slot] = 0;
    return slot;
}

int AddTp(Database& db, int sat, int freq, bool vertical, int sym, int fec) {
    int slot = 0;
    while (db.Tp.data[slot].Used == 1) ++slot;
    const TpRec& r = db.Tp.rec[slot] =
        NewTpRec(sat, ++db.SatTpCounts[sat], static_cast<unsigned>(freq), static_cast<unsigned>(sym), vertical ? 1 : 0,
                 static_cast<unsigned>(fec));
    db.Tp.data[slot] = DecodeTp(r);
    ++db.TpCount;
    return slot;
}

int AddProg(Database& db, int tp, const ProgSpec& p) {
    const int slot = db.ProgCount++;
    NewProgFields f;
    f.tp = static_cast<unsigned>(tp);
    f.radio = p.radio;
    f.free = !p.scrambled;
    f.pcr = static_cast<unsigned>(p.pcr);
    f.pvt = static_cast<unsigned>(p.pvt);
    f.vid = static_cast<unsigned>(p.vid);
    f.aud = static_cast<unsigned>(p.aud);
    f.sid = static_cast<unsigned>(p.sid);
    f.pmt = static_cast<unsigned>(p.pmt);
    f.fav = p.fav;
    f.lock = p.lock;
    f.skip = p.skip;
    f.tracks = 1;
    f.name = p.name;
    ProgRec& r = db.Prog.rec[slot] = NewProgRec(f);
    if (p.scrambled) std::copy(p.ca.begin(), p.ca.end(), progrec::CaIds::Bytes(r).begin());
    db.Prog.data[slot] = DecodeProg(r, db.Tp);
    return slot;
}

int AddAudio(Database& db, int prog, int pid, const std::string& lang) {
    const int slot = db.AudioCount++;
    const AudioRec& r = db.Audio.rec[slot] = NewAudioRec(static_cast<unsigned>(prog), static_cast<unsigned>(pid), lang);
    db.Audio.data[slot] = DecodeAudio(r);
    ProgRec& pr = db.Prog.rec[prog];
    progrec::AudioTracks::Set(pr, progrec::AudioTracks::Get(pr) + 1);
    db.Prog.data[prog] = DecodeProg(pr, db.Tp);
    return slot;
}

void NameFav(Database& db, int g, const std::string& name) {
    WriteFavName(db.FavNameBlock, g, name);
    db.FavNames[g] = TrimRight(name.substr(0, 15));
}

namespace {

void InitEmpty(Database& db) {
    db.Clear();
    for (int t = 0; t < kTpSlots; ++t) {
        db.Tp.rec[t] = EmptyTpRec();
        db.Tp.data[t] = EmptyTpData();
    }
    for (int a = 0; a < kAudioSlots; ++a) {
        db.Audio.rec[a] = EmptyAudioRec();
        db.Audio.data[a] = EmptyAudioData();
    }
    for (int p = 0; p < kProgSlots; ++p) db.Prog.data[p] = DecodeProg(db.Prog.rec[p], db.Tp);
}

void SelectTrack(Database& db, int prog, int n) {
    progrec::AudioSel::Set(db.Prog.rec[prog], static_cast<unsigned>(n));
    db.Prog.data[prog] = DecodeProg(db.Prog.rec[prog], db.Tp);
}

} // namespace

std::unique_ptr<Database> EmptyDatabase() {
    auto db = NewDatabase();
    InitEmpty(*db);
    return db;
}

std::unique_ptr<Database> BuildSample() {
    auto db = EmptyDatabase();
    Database& d = *db;
    const int astra = AddSat(d, {"Astra 19.2E", 192});
    const int hotbird = AddSat(d, {"Hot Bird 13.0E", 130, 9750, 10600, 1, 0, 1});
    const int astra2 = AddSat(d, {"Astra 28.2E", 282, 9750, 10600, 1, 0, 2});
    const int thor = AddSat(d, {"Thor 0.8W", 3592, 9750, 10600, 1, 0, 3});
    const int turk = AddSat(d, {"Turksat 42.0E", 420, 10750, 10750, 0, 0, 4, 1});
    const int cband = AddSat(d, {"Intelsat 10.0E C", 100, 5150, 5150, 0, 0, 0, 0, 2});

    struct T {
        int sat, freq;
        bool v;
        int sym, fec;
    };
    const T tps[] = {
        {astra, 11361, false, 22000, 2},  {astra, 11494, false, 22000, 2},   {astra, 11523, false, 22000, 4},
        {astra, 11739, true, 27500, 3},   {astra, 11836, false, 27500, 3},   {astra, 11953, false, 27500, 3},
        {astra, 12109, false, 27500, 3},  {astra, 12188, false, 27500, 3},   {astra, 12266, false, 27500, 3},
        {astra, 12480, true, 27500, 3},   {hotbird, 10719, true, 27500, 4},  {hotbird, 10992, true, 27500, 2},
        {hotbird, 11034, true, 27500, 3}, {hotbird, 11137, false, 27500, 3}, {hotbird, 11200, true, 27500, 4},
        {hotbird, 11623, true, 27500, 3}, {hotbird, 11766, false, 27500, 2}, {hotbird, 12111, true, 27500, 3},
        {hotbird, 12597, true, 27500, 3}, {astra2, 10773, false, 22000, 4},  {astra2, 10847, true, 23000, 3},
        {astra2, 11222, false, 27000, 4}, {astra2, 11426, false, 27500, 4},  {astra2, 11954, false, 27500, 4},
        {astra2, 12207, true, 27500, 4},  {thor, 10747, true, 25000, 3},     {thor, 11247, false, 24500, 4},
        {thor, 11325, false, 24500, 4},   {thor, 12015, true, 28000, 3},     {turk, 10962, true, 16666, 3},
        {turk, 11054, true, 30000, 4},    {turk, 11096, false, 30000, 4},    {turk, 11794, true, 8000, 0},
        {cband, 3730, false, 3840, 1},    {cband, 4040, true, 27500, 3},
    };
    int tpSlot[std::size(tps)];
    for (size_t i = 0; i < std::size(tps); ++i)
        tpSlot[i] = AddTp(d, tps[i].sat, tps[i].freq, tps[i].v, tps[i].sym, tps[i].fec);

    const char* tvNames[] = {"Alpen TV",      "Nordlicht HD",  "Rhein 24",      "Kanal Sieben",  "Bergblick",
                             "Tagesbild",     "Sport Arena",   "Kino Eins",     "Kinderwelt",    "Musik Box",
                             "Azzurro 1",     "Telesole",      "Notizie 24",    "Cinema Plus",   "Atlas Doc",
                             "Britannia One", "Channel North", "Highland TV",   "Thames Movies", "Nordic Sport",
                             "Fjord TV",      "Viking Kids",   "Anadolu Haber", "Bosphorus TV",  "Ege Muzik",
                             "Sahara News",   "Delta Info",    " Zenith",       "Aurora",        "Boreal HD"};
    const char* radioNames[] = {"Radio Alpina", "Klassik FM", "Jazz Welle", "Radio Sole", "Coast FM",
                                "Nordic Pop",   "Radyo Ege",  "Folk Radio", "Talk 24",    "Easy Melody"};
    std::mt19937 rng(42);
    int pid = 0x100;
    for (size_t i = 0; i < std::size(tvNames); ++i) {
        ProgSpec p;
        p.name = tvNames[i];
        p.vid = pid;
        p.aud = pid + 1;
        p.pcr = pid;
        p.pmt = 0x60 + static_cast<int>(i);
        p.sid = 1000 + static_cast<int>(i) * 7;
        p.pvt = pid + 5;
        p.scrambled = i % 4 == 3;
        if (p.scrambled) p.ca = {static_cast<uint8_t>(i % 8 == 3 ? 5 : 24), static_cast<uint8_t>(i % 3 ? 11 : 0), 0, 0};
        p.fav = static_cast<uint16_t>((i % 5 == 0 ? 1 : 0) | (i % 7 == 0 ? 2 : 0) | (i % 6 == 1 ? 8 : 0));
        p.lock = i == 7;
        p.skip = i == 12;
        pid += 0x20;
        const int prog = AddProg(d, tpSlot[(i * 3) % std::size(tps)], p);
        if (i % 6 == 2) {
            AddAudio(d, prog, p.aud + 2, "eng");
            AddAudio(d, prog, p.aud + 3, "fra");
            SelectTrack(d, prog, i % 12 == 2 ? 1 : 0);
        }
    }
    for (size_t i = 0; i < std::size(radioNames); ++i) {
        ProgSpec p;
        p.name = radioNames[i];
        p.radio = true;
        p.aud = pid + 1;
        p.pcr = pid + 1;
        p.pmt = 0x90 + static_cast<int>(i);
        p.sid = 5000 + static_cast<int>(i);
        p.fav = i % 3 == 0 ? 0x20 : 0;
        pid += 0x10;
        const int prog = AddProg(d, tpSlot[(i * 5 + 1) % std::size(tps)], p);
        if (i == 2) AddAudio(d, prog, p.aud + 1, "deu");
    }
    const char* favs[] = {"Movie", "News", "", "Sports", "", "Music"};
    for (int g = 0; g < static_cast<int>(std::size(favs)); ++g) NameFav(d, g, favs[g]);
    d.FavLocks[3] = d.FavLocksStored[3] = 1;
    (void)rng;
    return db;
}

std::unique_ptr<Database> BuildFull(uint32_t seed) {
    // Real channel lists are regular (PIDs in steps, services numbered in
    // order, names from a small vocabulary); a list built the same way stays
    // within the container when compressed, as a real full list does.
    auto db = EmptyDatabase();
    Database& d = *db;
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    static const char* const words[] = {"Alpha", "Nova", "Sport", "News", "Cine", "Kids", "Music", "Info",
                                        "Star",  "Docu", "Live",  "Plus", "One",  "Max",  "Prime", "Radio"};
    auto word = [&] { return std::string(words[pick(0, 15)]); };
    for (int s = 0; s < kMaxSatsInImage; ++s)
        AddSat(d, {word() + " " + std::to_string(s), (s * 53) % 3600, 9750, 10600, s % 3, s % 3 == 1 ? 2 : 0, s % 5, 1,
                   0});
    for (int t = 0; t < kTpSlots; ++t) {
        const int sat = t % kMaxSatsInImage, n = t / kMaxSatsInImage;
        AddTp(d, sat, 10700 + n * 58 + (sat % 4) * 2, n % 2 == 1, n % 3 == 0 ? 27500 : 22000, 3);
    }
    for (int p = 0; p < kProgSlots; ++p) {
        ProgSpec ps;
        ps.name = word() + " " + std::to_string(p % 100);
        ps.radio = p % 5 == 4;
        const int base = 0x100 + (p % 60) * 0x20;
        ps.vid = ps.radio ? 0 : base;
        ps.aud = base + 1;
        ps.pcr = ps.vid ? ps.vid : ps.aud;
        ps.pmt = 0x40 + p % 60;
        ps.sid = 1000 + p;
        ps.pvt = 8191;
        ps.scrambled = p % 4 == 0;
        ps.ca = {static_cast<uint8_t>(p % 8 == 0 ? 5 : 24), 0, 0, 0};
        ps.fav = static_cast<uint16_t>(p % 7 == 0 ? 1u << (p % 16) : 0);
        ps.lock = p % 97 == 0;
        ps.skip = p % 89 == 0;
        AddProg(d, p % kTpSlots, ps);
    }
    static const char* const langs[] = {"eng", "deu", "fra", "ita"};
    for (int a = 0; a < kAudioSlots; ++a) AddAudio(d, a * 3, 0x102 + (a % 60) * 0x20, langs[a % 4]);
    for (int g = 0; g < kFavGroups; ++g) NameFav(d, g, word() + (g % 2 ? " " + word() : ""));
    return db;
}

const std::vector<uint8_t>& SampleFile(bool is256K) {
    static const auto files = [] {
        const auto db = BuildSample();
        std::array<std::vector<uint8_t>, 2> bytes;
        if (!BuildSaveBytes(*db, SaveMode::Default, bytes[0]) || !BuildSaveBytes(*db, SaveMode::Channel, bytes[1]))
            throw std::runtime_error("the sample can not be saved");
        return bytes;
    }();
    return files[is256K ? 1 : 0];
}

} // namespace sample
