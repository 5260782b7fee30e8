#include "editing/Reorder.h"

#include "editing/Moves.h"
#include "format/Image.h"

#include <algorithm>
#include <utility>

namespace dbase {

namespace {

void SetAudioProgram(Database& db, int audio, int prog) {
    SetAudioProgram(db.Audio.rec[audio], db.Audio.data[audio], static_cast<uint32_t>(prog));
}

void SetProgTp(Database& db, int prog, int tp) {
    SetProgTransponder(db.Prog.rec[prog], db.Prog.data[prog], static_cast<uint32_t>(tp));
}

std::string Slot(int s) { return std::to_string(s); }

} // namespace

// Links are mended over every slot of a table, free slots included, so that
// whatever a slot names keeps naming the same entity; the queries that look
// tracks up (ExtraAudioSlot) scan the whole audio table too.

void SwapSatellites(Database& db, int a, int b) {
    if (a == b) return;
    std::swap(db.SatTpCounts[a], db.SatTpCounts[b]);
    for (int t = 0; t < kTpSlots; ++t) {
        const int s = db.Tp.data[t].SatIndex;
        if (s != a && s != b) continue;
        SetTpSatellite(db.Tp.rec[t], db.Tp.data[t], static_cast<uint8_t>(s == a ? b : a));
    }
    for (int p = 0; p < kProgSlots; ++p) {
        uint8_t& s = db.Prog.data[p].SatIndex;
        if (s == a)
            s = static_cast<uint8_t>(b);
        else if (s == b)
            s = static_cast<uint8_t>(a);
    }
    std::swap(db.Sat.data[a], db.Sat.data[b]);
    SwapSatRecords(db.Sat.rec[a], db.Sat.rec[b]);
}

void SwapTransponders(Database& db, int a, int b) {
    if (a == b) return;
    SwapTpSlots(db.Tp.rec[a], db.Tp.data[a], db.Tp.rec[b], db.Tp.data[b]);
    for (int p = 0; p < kProgSlots; ++p) {
        const auto t = static_cast<int>(db.Prog.data[p].TpIndex);
        if (t == a)
            SetProgTp(db, p, b);
        else if (t == b)
            SetProgTp(db, p, a);
    }
}

void SwapPrograms(Database& db, int a, int b) {
    if (a == b) return;
    std::swap(db.Prog.data[a], db.Prog.data[b]);
    std::swap(db.Prog.rec[a], db.Prog.rec[b]);
    for (int i = 0; i < kAudioSlots; ++i) {
        const auto p = db.Audio.data[i].ProgIndex;
        if (p == static_cast<uint32_t>(a))
            SetAudioProgram(db, i, b);
        else if (p == static_cast<uint32_t>(b))
            SetAudioProgram(db, i, a);
    }
}

Status CheckSatSwap(const Database& db, int a, int b) {
    for (int s : {a, b})
        if (s < 0 || s >= db.SatCount || s >= kSatSlots)
            return Status::Error(StatusCode::NotFound, "There is no satellite in slot " + Slot(s) + "!");
    if (a == b) return Status::Error(StatusCode::Invalid, "A satellite can not be exchanged with itself!");
    return Status::Ok();
}

Status CheckTpSwap(const Database& db, int a, int b) {
    for (int t : {a, b})
        if (t < 0 || t >= kTpSlots || db.Tp.data[t].Used != 1)
            return Status::Error(StatusCode::NotFound, "There is no transponder in slot " + Slot(t) + "!");
    if (a == b) return Status::Error(StatusCode::Invalid, "A transponder can not be exchanged with itself!");
    if (db.Tp.data[a].SatIndex != db.Tp.data[b].SatIndex)
        return Status::Error(StatusCode::Invalid,
                             "Transponders " + Slot(a) + " and " + Slot(b) +
                                 " belong to different satellites,\r\rSo they can not be exchanged!");
    return Status::Ok();
}

Status CheckProgSwap(const Database& db, int a, int b) {
    for (int p : {a, b})
        if (p < 0 || p >= db.ProgCount || p >= kProgSlots)
            return Status::Error(StatusCode::NotFound, "There is no program in slot " + Slot(p) + "!");
    if (a == b) return Status::Error(StatusCode::Invalid, "A program can not be exchanged with itself!");
    if ((db.Prog.data[a].IsRadio != 0) != (db.Prog.data[b].IsRadio != 0))
        return Status::Error(StatusCode::Invalid,
                             "Programs " + Slot(a) + " and " + Slot(b) +
                                 " are not both TV or both radio programs,\r\rSo they can not be exchanged!");
    return Status::Ok();
}

std::vector<int> KindSlots(const Database& db, ProgKind kind) {
    const bool radio = kind == ProgKind::Radio;
    std::vector<int> slots;
    const int n = std::min<int>(db.ProgCount, kProgSlots);
    for (int p = 0; p < n; ++p)
        if ((db.Prog.data[p].IsRadio != 0) == radio) slots.push_back(p);
    return slots;
}

std::vector<int> NameOrder(const Database& db, ProgKind kind, const NameCollator& collator) {
    // The selection sort runs on sort keys, which compare as the names
    // collate, and on slot numbers in place of whole records.
    std::vector<int> order = KindSlots(db, kind);
    std::vector<std::string> keys;
    keys.reserve(order.size());
    for (int p : order) keys.push_back(collator.Key(db.Prog.data[p].Name));
    for (size_t i = 0; i < order.size(); ++i) {
        size_t candidate = i;
        for (size_t j = i + 1; j < order.size(); ++j)
            if (keys[candidate] >= keys[j]) candidate = j;
        std::swap(order[i], order[candidate]);
        std::swap(keys[i], keys[candidate]);
    }
    return order;
}

std::vector<int> FavOrder(const Database& db, ProgKind kind) {
    const std::vector<int> slots = KindSlots(db, kind);
    std::vector<int> order;
    order.reserve(slots.size());
    std::vector<bool> listed(slots.size(), false);
    for (int g = 0; g < kFavGroups; ++g) {
        for (size_t i = 0; i < slots.size(); ++i) {
            if (listed[i] || !db.InFavGroup(slots[i], g)) continue;
            listed[i] = true;
            order.push_back(slots[i]);
        }
    }
    // What is left belongs to no group.
    for (size_t i = 0; i < slots.size(); ++i)
        if (!listed[i]) order.push_back(slots[i]);
    return order;
}

std::vector<int> TpOrder(const Database& db, ProgKind kind) {
    const std::vector<int> slots = KindSlots(db, kind);
    std::vector<std::vector<int>> byTp(kTpSlots);
    std::vector<int> orphans;
    for (int p : slots) {
        const uint32_t t = db.Prog.data[p].TpIndex;
        if (t < static_cast<uint32_t>(kTpSlots) && db.Tp.data[t].Used == 1)
            byTp[t].push_back(p);
        else
            orphans.push_back(p);
    }
    std::vector<int> order;
    order.reserve(slots.size());
    for (const auto& progs : byTp) order.insert(order.end(), progs.begin(), progs.end());
    order.insert(order.end(), orphans.begin(), orphans.end());
    return order;
}

void ApplyProgramOrder(Database& db, ProgKind kind, const std::vector<int>& order) {
    const std::vector<int> slots = KindSlots(db, kind);
    if (order.size() != slots.size()) return;
    std::vector<int> position(kProgSlots, -1);
    for (size_t i = 0; i < slots.size(); ++i) position[static_cast<size_t>(slots[i])] = static_cast<int>(i);
    std::vector<int> from;
    from.reserve(order.size());
    for (int p : order) {
        if (p < 0 || p >= kProgSlots || position[static_cast<size_t>(p)] < 0) return;
        from.push_back(std::exchange(position[static_cast<size_t>(p)], -1)); // each slot once
    }
    ReorderPrograms(db, slots, from);
}

void SortPrograms(Database& db, ProgKind kind, SortKey key, const NameCollator& collator) {
    switch (key) {
    case SortKey::Name: ApplyProgramOrder(db, kind, NameOrder(db, kind, collator)); break;
    case SortKey::Fav: ApplyProgramOrder(db, kind, FavOrder(db, kind)); break;
    case SortKey::Tp: ApplyProgramOrder(db, kind, TpOrder(db, kind)); break;
    }
}

void SortPrograms(Database& db, ProgKind kind, SortKey key) {
    if (key == SortKey::Name)
        SortPrograms(db, kind, key, NameCollator::FromEnvironment());
    else
        SortPrograms(db, kind, key, NameCollator("C"));
}

ProgLists ListProgsAfterSort(const Database& db, int sat) { return sat >= 0 ? SatProgs(db, sat) : AllProgs(db); }

} // namespace dbase
