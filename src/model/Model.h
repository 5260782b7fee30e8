// The channel database: fixed-capacity tables held in two forms per slot (the
// stored bytes as they stand in the image, and the decoded fields the views
// and editors use), the counts, the favourite groups and the view lists.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace dbase {

inline constexpr int kSatSlots = 83;
inline constexpr int kMaxSatsInImage = 64;
inline constexpr int kTpSlots = 2200;
inline constexpr int kProgSlots = 3000;
inline constexpr int kAudioSlots = 1000;
inline constexpr int kFavGroups = 16;
inline constexpr int kMaxTpsPerSat = 150;
inline constexpr int kMaxProgsPerTp = 120;

inline constexpr int kSatRecSize = 50;
inline constexpr int kTpRecSize = 12;
inline constexpr int kProgRecSize = 44;
inline constexpr int kAudioRecSize = 8;
inline constexpr int kFavNameSize = 16;

// ProgIndex of an audio slot that belongs to no program.
inline constexpr uint32_t kNoProgram = 4001;

using SatRec = std::array<uint8_t, kSatRecSize>;
using TpRec = std::array<uint8_t, kTpRecSize>;
using ProgRec = std::array<uint8_t, kProgRecSize>;
using AudioRec = std::array<uint8_t, kAudioRecSize>;

// Texts hold the bytes of the image as they stand (ISO 8859-1 for names).
struct SatData {
    std::string LnbLow, LnbHigh, Longitude;
    uint8_t LnbType = 0, Power12V = 0, Tone22K = 0, Diseqc10 = 0, Motor = 0, LnbPower = 0, Diseqc11 = 0, SatByte14 = 0;
    std::string Name;
    bool operator==(const SatData&) const = default;
};

struct TpData {
    uint8_t Used = 0;
    std::string Freq;
    uint8_t Pol = 0;
    std::string PolText;
    uint8_t Fec = 0;
    std::string FecText;
    uint8_t TpByte3 = 0;
    uint8_t SatIndex = 255;
    uint32_t TpNo = 0;
    std::string SymRate;
    bool operator==(const TpData&) const = default;
};

struct ProgData {
    uint8_t Used = 0, IsRadio = 0, IsFree = 0;
    std::string PcrPid, PvtPid;
    uint8_t Lock = 0, Skip = 0;
    uint32_t TpIndex = 0;
    uint8_t AudioTracks = 0;
    uint8_t SatIndex = 255;
    std::string ServiceId;
    uint8_t AudioSel = 0;
    std::string VidPid;
    uint8_t VidFlags = 0;
    std::string AudPid;
    uint8_t AudFlags = 0;
    std::string FavMask; // 16 characters '0'/'1'; character 17-k (1-based) is group k
    std::string PmtPid;
    uint8_t ProgByte23 = 0;
    std::string Name;
    std::array<uint8_t, 4> CaIds{};
    bool operator==(const ProgData&) const = default;
};

struct AudioData {
    uint8_t Used = 0;
    uint32_t ProgIndex = kNoProgram;
    std::string Pid = "0";
    std::string Lang;
    bool operator==(const AudioData&) const = default;
};

// One fixed-capacity table: slot i has the stored record rec[i] and the
// decoded record data[i]. Every change of an entity updates both.
template <class Rec, class Data, int N> struct Table {
    static constexpr int Slots = N;
    std::array<Rec, N> rec{};
    std::array<Data, N> data{};
};

using SatTable = Table<SatRec, SatData, kSatSlots>;
using TpTable = Table<TpRec, TpData, kTpSlots>;
using ProgTable = Table<ProgRec, ProgData, kProgSlots>;
using AudioTable = Table<AudioRec, AudioData, kAudioSlots>;

// Size of the image region carried unchanged from the loaded image to a saved one.
inline constexpr int kCarriedSize = 1604;

class Database {
public:
    SatTable Sat;
    TpTable Tp;
    ProgTable Prog;
    AudioTable Audio;

    uint16_t SatCount = 0;
    uint16_t TpCount = 0;
    uint16_t ProgCount = 0;
    uint16_t AudioCount = 0;
    std::array<uint8_t, kSatSlots> SatTpCounts{};
    std::array<uint8_t, 2> TpAlignWord{};

    std::array<uint8_t, kFavGroups * kFavNameSize> FavNameBlock{};
    std::array<std::string, kFavGroups> FavNames;
    std::array<uint8_t, kFavGroups> FavLocksStored{}; // stored copy, written by BuildImage
    std::array<uint8_t, kFavGroups> FavLocks{};       // decoded copy, edited by the UI

    std::array<uint8_t, kCarriedSize> Carried{};

    // True when program `slot` is a member of favourite group `group` (0..15).
    bool InFavGroup(int slot, int group) const;

    // Returns the audio slot of the n-th (1-based) extra track of program
    // `prog` in table order, or -1 when the table holds fewer tracks for it.
    int ExtraAudioSlot(int prog, int n) const;

    // Empties every table and count (a database with no satellites).
    void Clear();
};

// Allocates an empty database on the heap (the object is large).
std::unique_ptr<Database> NewDatabase();

// The lists the window shows, as slots in ascending slot order.
// Transponders in use; those of satellite `sat`.
std::vector<int> AllTps(const Database& db);
std::vector<int> SatTps(const Database& db, int sat);

// The satellite grid's lists with no satellite chosen: the satellites below
// SatCount and the transponders in use; with `activeOnly`, only the
// satellites that a program in use belongs to, and their transponders.
// `active` is set to each satellite slot's mark (1: a program belongs to it).
struct SatLists {
    std::vector<int> sats, tps;
    std::array<uint8_t, kSatSlots> active{};
};
SatLists ListedSats(const Database& db, bool activeOnly);

// The programs in use (below ProgCount), split into TV and radio.
struct ProgLists {
    std::vector<int> tv, radio;
    const std::vector<int>& of(bool isRadio) const { return isRadio ? radio : tv; }
};
ProgLists AllProgs(const Database& db);
ProgLists TpProgs(const Database& db, int tp);
ProgLists SatProgs(const Database& db, int sat);
// The members of favourite group `group` (0..15); membership alone decides,
// the Used flag is not looked at. Empty lists for any other group.
ProgLists FavProgs(const Database& db, int group);

} // namespace dbase
