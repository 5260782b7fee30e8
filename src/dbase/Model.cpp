#include "Model.h"

namespace dbase {

void Database::ListAllTps() {
    TpList.clear();
    for (int t = 0; t < kTpSlots; ++t)
        if (Tp.data[t].Used == 1) TpList.push(t);
}

void Database::ListSatTps(int sat) {
    TpList.clear();
    for (int t = 0; t < kTpSlots; ++t)
        if (Tp.data[t].Used == 1 && Tp.data[t].SatIndex == sat) TpList.push(t);
}

void Database::ClearProgLists() {
    TvList.clear();
    RadioList.clear();
}

namespace {
template <class Pred> void FillProgLists(Database& db, Pred pred) {
    db.ClearProgLists();
    const int n = std::min<int>(db.ProgCount, kProgSlots);
    for (int p = 0; p < n; ++p) {
        if (!pred(db.Prog.data[p])) continue;
        (db.Prog.data[p].IsRadio != 0 ? db.RadioList : db.TvList).push(p);
    }
}
} // namespace

void Database::ListAllProgs() {
    FillProgLists(*this, [](const ProgData& d) { return d.Used == 1; });
}

void Database::ListTpProgs(int tp) {
    FillProgLists(*this, [tp](const ProgData& d) { return d.Used == 1 && static_cast<int>(d.TpIndex) == tp; });
}

void Database::ListSatProgs(int sat) {
    FillProgLists(*this, [sat](const ProgData& d) { return d.Used == 1 && d.SatIndex == sat; });
}

void Database::ListFavProgs(int group) {
    if (group < 0 || group >= kFavGroups) {
        ClearProgLists();
        return;
    }
    // Membership alone decides here; the Used flag is not looked at.
    FillProgLists(*this, [group](const ProgData& d) {
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
    SatList.clear();
    TpList.clear();
    ClearProgLists();
    DataChanged = FileOpened = Is256K = false;
    FrontPlacement = true;
}

std::unique_ptr<Database> NewDatabase() { return std::make_unique<Database>(); }

} // namespace dbase
