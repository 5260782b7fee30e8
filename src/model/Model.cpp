#include "model/Model.h"

#include <algorithm>

namespace dbase {

std::vector<int> AllTps(const Database& db) {
    std::vector<int> list;
    for (int t = 0; t < kTpSlots; ++t)
        if (db.Tp.data[t].Used == 1) list.push_back(t);
    return list;
}

std::vector<int> SatTps(const Database& db, int sat) {
    std::vector<int> list;
    for (int t = 0; t < kTpSlots; ++t)
        if (db.Tp.data[t].Used == 1 && db.Tp.data[t].SatIndex == sat) list.push_back(t);
    return list;
}

SatLists ListedSats(const Database& db, bool activeOnly) {
    SatLists lists;
    const int sats = std::min<int>(db.SatCount, kSatSlots);
    if (!activeOnly) {
        for (int s = 0; s < sats; ++s) lists.sats.push_back(s);
        lists.tps = AllTps(db);
        return lists;
    }
    for (int p = 0; p < std::min<int>(db.ProgCount, kProgSlots); ++p) {
        const ProgData& d = db.Prog.data[p];
        if (d.Used == 1 && d.SatIndex < kSatSlots) lists.active[d.SatIndex] = 1;
    }
    for (int s = 0; s < sats; ++s)
        if (lists.active[static_cast<size_t>(s)]) lists.sats.push_back(s);
    for (int t = 0; t < kTpSlots; ++t) {
        const TpData& d = db.Tp.data[t];
        if (d.Used == 1 && d.SatIndex < kSatSlots && lists.active[d.SatIndex]) lists.tps.push_back(t);
    }
    return lists;
}

namespace {
template <class Pred> ProgLists FillProgLists(const Database& db, Pred pred) {
    ProgLists lists;
    const int n = std::min<int>(db.ProgCount, kProgSlots);
    for (int p = 0; p < n; ++p) {
        if (!pred(db.Prog.data[p])) continue;
        (db.Prog.data[p].IsRadio != 0 ? lists.radio : lists.tv).push_back(p);
    }
    return lists;
}
} // namespace

ProgLists AllProgs(const Database& db) {
    return FillProgLists(db, [](const ProgData& d) { return d.Used == 1; });
}

ProgLists TpProgs(const Database& db, int tp) {
    return FillProgLists(db, [tp](const ProgData& d) { return d.Used == 1 && static_cast<int>(d.TpIndex) == tp; });
}

ProgLists SatProgs(const Database& db, int sat) {
    return FillProgLists(db, [sat](const ProgData& d) { return d.Used == 1 && d.SatIndex == sat; });
}

ProgLists FavProgs(const Database& db, int group) {
    if (group < 0 || group >= kFavGroups) return {};
    return FillProgLists(db, [group](const ProgData& d) {
        return d.FavMask.size() == 16 && d.FavMask[static_cast<size_t>(15 - group)] == '1';
    });
}

bool Database::InFavGroup(int slot, int group) const {
    const std::string& m = Prog.data[slot].FavMask;
    return group >= 0 && group < kFavGroups && m.size() == 16 && m[static_cast<size_t>(15 - group)] == '1';
}

int Database::ExtraAudioSlot(int prog, int n) const {
    if (n <= 0) return -1;
    int seen = 0;
    for (int a = 0; a < kAudioSlots; ++a) {
        if (Audio.data[a].ProgIndex == static_cast<uint32_t>(prog) && ++seen == n) return a;
    }
    return -1;
}

void Database::Clear() {
    Sat.rec.fill({});
    Sat.data.fill({});
    Tp.rec.fill({});
    Tp.data.fill({});
    Prog.rec.fill({});
    Prog.data.fill({});
    Audio.rec.fill({});
    Audio.data.fill({});
    SatCount = TpCount = ProgCount = AudioCount = 0;
    SatTpCounts.fill(0);
    TpAlignWord.fill(0);
    FavNameBlock.fill(0);
    FavNames.fill({});
    FavLocksStored.fill(0);
    FavLocks.fill(0);
    Carried.fill(0);
}

std::unique_ptr<Database> NewDatabase() { return std::make_unique<Database>(); }

} // namespace dbase
