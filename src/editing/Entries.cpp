#include "editing/Entries.h"

#include "base/Bits.h"
#include "base/Messages.h"
#include "format/Image.h"

#include <algorithm>

namespace dbase {

namespace {

bool ValidSat(int sat) { return sat >= 0 && sat < kSatSlots; }
bool ValidTp(int tp) { return tp >= 0 && tp < kTpSlots; }

void EmptyTp(Database& db, int tp) {
    db.Tp.rec[tp] = EmptyTpRec();
    db.Tp.data[tp] = EmptyTpData();
}

void EmptyAudio(Database& db, int a) {
    db.Audio.rec[a] = EmptyAudioRec();
    db.Audio.data[a] = EmptyAudioData();
}

void EmptyProg(Database& db, int p) {
    db.Prog.rec[p].fill(0);
    db.Prog.data[p] = DecodeProg(db.Prog.rec[p], db.Tp);
}

// Deletes every program below ProgCount for which `doomed` holds, with its
// audio tracks, in one pass. The result is the one deleting them one at a
// time from the lowest slot gives: later programs move down keeping their
// order, and every track follows its program. Returns the number deleted.
template <class Pred> int DeleteProgramsWhere(Database& db, Pred doomed) {
    const int n = std::min<int>(db.ProgCount, kProgSlots);
    std::vector<int> newSlot(static_cast<size_t>(n), -1);
    int kept = 0;
    for (int p = 0; p < n; ++p)
        if (!doomed(p)) newSlot[static_cast<size_t>(p)] = kept++;
    if (kept == n) return 0;

    const int audioCount = std::min<int>(db.AudioCount, kAudioSlots);
    int out = 0;
    for (int a = 0; a < audioCount; ++a) {
        const uint32_t owner = db.Audio.data[a].ProgIndex;
        const bool known = owner < static_cast<uint32_t>(n);
        if (known && newSlot[owner] < 0) continue;
        if (out != a) {
            db.Audio.rec[out] = db.Audio.rec[a];
            db.Audio.data[out] = db.Audio.data[a];
        }
        if (known && newSlot[owner] != static_cast<int>(owner))
            SetAudioProgram(db.Audio.rec[out], db.Audio.data[out], static_cast<uint32_t>(newSlot[owner]));
        ++out;
    }
    for (int a = out; a < audioCount; ++a) EmptyAudio(db, a);
    db.AudioCount = static_cast<uint16_t>(out);

    for (int p = 0; p < n; ++p) {
        const int to = newSlot[static_cast<size_t>(p)];
        if (to < 0 || to == p) continue;
        db.Prog.rec[to] = db.Prog.rec[p];
        db.Prog.data[to] = db.Prog.data[p];
    }
    for (int p = kept; p < n; ++p) EmptyProg(db, p);
    db.ProgCount = static_cast<uint16_t>(kept);
    return n - kept;
}

// Puts the placeholder of `sat` into the lowest free slot; returns the slot or -1.
int MakePlaceholder(Database& db, int sat) {
    const int slot = FirstFreeTpSlot(db);
    if (slot < 0) return -1;
    db.Tp.rec[slot] = PlaceholderTpRec(sat);
    db.Tp.data[slot] = PlaceholderTpData(sat);
    return slot;
}

} // namespace

Status CheckSatSlot(const Database& db, int sat) {
    if (sat >= 0 && sat < std::min<int>(db.SatCount, kSatSlots)) return Status::Ok();
    return Status::Error(StatusCode::NotFound, "There is no satellite in slot " + std::to_string(sat) + "!");
}

Status CheckTpSlot(const Database& db, int tp) {
    if (ValidTp(tp) && db.Tp.data[tp].Used == 1) return Status::Ok();
    return Status::Error(StatusCode::NotFound, "There is no transponder in slot " + std::to_string(tp) + "!");
}

Status CheckProgSlot(const Database& db, int slot) {
    if (slot >= 0 && slot < std::min<int>(db.ProgCount, kProgSlots)) return Status::Ok();
    return Status::Error(StatusCode::NotFound, "There is no program in slot " + std::to_string(slot) + "!");
}

TpRec PlaceholderTpRec(int sat) { return NewTpRec(sat, 1, kPlaceholderFreq, kPlaceholderSymRate, 0, 0); }

TpData PlaceholderTpData(int sat) { return DecodeTp(PlaceholderTpRec(sat)); }

int FirstFreeTpSlot(const Database& db) {
    for (int t = 0; t < kTpSlots; ++t)
        if (db.Tp.data[t].Used == 0) return t;
    return -1;
}

int CountSatTransponders(const Database& db, int sat) {
    int n = 0;
    for (int t = 0; t < kTpSlots; ++t)
        if (db.Tp.data[t].Used == 1 && db.Tp.data[t].SatIndex == sat) ++n;
    return n;
}

int CountTpPrograms(const Database& db, int tp) {
    int n = 0;
    const int count = std::min<int>(db.ProgCount, kProgSlots);
    for (int p = 0; p < count; ++p)
        if (db.Prog.data[p].Used == 1 && static_cast<int>(db.Prog.data[p].TpIndex) == tp) ++n;
    return n;
}

Status CheckAddTransponder(const Database& db, int sat) {
    if (db.TpCount >= kTpSlots || FirstFreeTpSlot(db) < 0) return Status::Error(StatusCode::Full, msg::MaxTransponders);
    if (ValidSat(sat) && db.SatTpCounts[sat] >= kMaxTpsPerSat)
        return Status::Error(StatusCode::Full, msg::MaxTranspondersPerSat);
    return Status::Ok();
}

Status CheckAddProgram(const Database& db, int tp) {
    if (db.ProgCount >= kProgSlots) return Status::Error(StatusCode::Full, msg::MaxPrograms);
    if (CountTpPrograms(db, tp) >= kMaxProgsPerTp) return Status::Error(StatusCode::Full, msg::MaxProgramsPerTp);
    return Status::Ok();
}

int RemoveProgAudio(Database& db, int prog) {
    const int audioCount = std::min<int>(db.AudioCount, kAudioSlots);
    int out = 0;
    for (int a = 0; a < audioCount; ++a) {
        if (db.Audio.data[a].ProgIndex == static_cast<uint32_t>(prog)) continue;
        if (out != a) {
            db.Audio.rec[out] = db.Audio.rec[a];
            db.Audio.data[out] = db.Audio.data[a];
        }
        ++out;
    }
    for (int a = out; a < audioCount; ++a) EmptyAudio(db, a);
    return audioCount - out;
}

void RenumberProgAudio(Database& db, int oldSlot, int newSlot) {
    const int audioCount = std::min<int>(db.AudioCount, kAudioSlots);
    for (int a = 0; a < audioCount; ++a) {
        if (db.Audio.data[a].ProgIndex != static_cast<uint32_t>(oldSlot)) continue;
        SetAudioProgram(db.Audio.rec[a], db.Audio.data[a], static_cast<uint32_t>(newSlot));
    }
}

void DeleteProgram(Database& db, int slot) {
    if (slot < 0 || slot >= db.ProgCount) return;
    // Tracks naming the slot are removed even when the program's track count
    // says it has none: left behind they would pass to the program that
    // moves into the slot.
    DeleteProgramsWhere(db, [slot](int p) { return p == slot; });
}

int DeletePrograms(Database& db, std::span<const int> slots) {
    std::vector<bool> doomed(kProgSlots, false);
    for (int s : slots)
        if (s >= 0 && s < std::min<int>(db.ProgCount, kProgSlots)) doomed[static_cast<size_t>(s)] = true;
    return DeleteProgramsWhere(db, [&doomed](int p) { return doomed[static_cast<size_t>(p)]; });
}

TpDeleteResult DeleteTransponder(Database& db, TpSlot tpSlot, SatSlot satSlot) {
    const int tp = tpSlot.index, sat = satSlot.index;
    TpDeleteResult result;
    if (!ValidTp(tp) || db.Tp.data[tp].Used != 1) return result;
    if (ValidSat(sat) && db.SatTpCounts[sat] <= 1) {
        EmptyTp(db, tp);
        result.PlaceholderTpMade = true;
        result.placeholderSlot = MakePlaceholder(db, sat);
    } else {
        if (db.TpCount > 0) --db.TpCount;
        if (ValidSat(sat)) --db.SatTpCounts[sat];
        const uint32_t number = db.Tp.data[tp].TpNo;
        for (int t = 0; t < kTpSlots; ++t) {
            TpData& d = db.Tp.data[t];
            if (t == tp || d.Used != 1 || d.SatIndex != sat || d.TpNo <= number) continue;
            SetTpNumber(db.Tp.rec[t], d, static_cast<uint8_t>(d.TpNo - 1));
        }
        EmptyTp(db, tp);
    }
    result.programsDeleted =
        DeleteProgramsWhere(db, [&db, tp](int p) { return static_cast<int>(db.Prog.data[p].TpIndex) == tp; });
    return result;
}

std::vector<int> EmptyTransponders(const Database& db, std::span<const int> listed) {
    std::vector<bool> carries(kTpSlots, false);
    const int count = std::min<int>(db.ProgCount, kProgSlots);
    for (int p = 0; p < count; ++p) {
        const ProgData& d = db.Prog.data[p];
        if (d.Used == 1 && d.TpIndex < static_cast<uint32_t>(kTpSlots)) carries[d.TpIndex] = true;
    }
    std::vector<int> empty;
    for (int t : listed) {
        if (t < 0) break;
        if (ValidTp(t) && !carries[static_cast<size_t>(t)]) empty.push_back(t);
    }
    return empty;
}

int DeleteTransponders(Database& db, std::span<const int> tps) {
    int deleted = 0;
    for (int t : tps) {
        if (!ValidTp(t) || db.Tp.data[t].Used != 1) continue;
        DeleteTransponder(db, TpSlot(t), SatSlot(db.Tp.data[t].SatIndex));
        ++deleted;
    }
    return deleted;
}

int ClearSatTransponders(Database& db, int sat) {
    if (!ValidSat(sat)) return -1;
    // Every transponder of the satellite is taken from the table, wherever
    // the lists would show it, so that none of its programs survives and the
    // counts stay true.
    std::vector<bool> doomed(kTpSlots, false);
    int removed = 0;
    for (int t = 0; t < kTpSlots; ++t) {
        if (db.Tp.data[t].Used != 1 || db.Tp.data[t].SatIndex != sat) continue;
        doomed[static_cast<size_t>(t)] = true;
        ++removed;
    }
    DeleteProgramsWhere(db, [&](int p) {
        const uint32_t t = db.Prog.data[p].TpIndex;
        return t < static_cast<uint32_t>(kTpSlots) && doomed[t];
    });
    for (int t = 0; t < kTpSlots; ++t)
        if (doomed[static_cast<size_t>(t)]) EmptyTp(db, t);
    const int slot = MakePlaceholder(db, sat);
    const int inUse = std::max(0, db.TpCount - removed) + (slot >= 0 ? 1 : 0);
    db.TpCount = static_cast<uint16_t>(inUse);
    db.SatTpCounts[sat] = slot >= 0 ? 1 : 0;
    return slot;
}

void ResetSatellite(Database& db, int sat) {
    if (!ValidSat(sat)) return;
    SatRec& rec = db.Sat.rec[sat];
    WriteSatName(rec, "NEWSAT");
    WriteDefaultLnb(rec);
    satrec::Position::Set(rec, 10);
    satrec::Motor::Set(rec, 0);
    db.Sat.data[sat] = DecodeSat(rec);
    ClearSatTransponders(db, sat);
}

} // namespace dbase
