#include "editing/Moves.h"

#include "format/Image.h"

#include <algorithm>
#include <array>
#include <string>

namespace dbase {

namespace {

bool Ascending(int n, std::span<const int> positions) {
    if (positions.empty() || positions.front() < 0 || positions.back() >= n) return false;
    return std::adjacent_find(positions.begin(), positions.end(), [](int a, int b) { return a >= b; }) ==
           positions.end();
}

// Old slot -> new slot of every entry that moves, -1 elsewhere; `size` covers
// every value a link may hold.
std::vector<int> NewSlots(std::span<const int> list, std::span<const int> order, size_t size) {
    std::vector<int> to(size, -1);
    for (size_t i = 0; i < list.size(); ++i) {
        const int from = list[static_cast<size_t>(order[i])];
        if (from != list[i]) to[static_cast<size_t>(from)] = list[i];
    }
    return to;
}

// Moves the records of the moving entries: slot list[i] takes what slot
// list[order[i]] held. `keep(before, after)` gives back to `after` what stays
// with its slot.
template <class Rec, class Data, int N, class Keep>
void MoveRecords(Table<Rec, Data, N>& table, std::span<const int> list, std::span<const int> order, Keep keep) {
    std::vector<std::pair<Rec, Data>> moved;
    moved.reserve(list.size());
    for (size_t i = 0; i < list.size(); ++i) {
        const int from = list[static_cast<size_t>(order[i])];
        moved.emplace_back(table.rec[from], from == list[i] ? Data{} : table.data[from]);
    }
    for (size_t i = 0; i < list.size(); ++i) {
        const int slot = list[i];
        if (list[static_cast<size_t>(order[i])] == slot) continue;
        keep(table.rec[slot], table.data[slot], moved[i].first, moved[i].second);
        table.rec[slot] = moved[i].first;
        table.data[slot] = std::move(moved[i].second);
    }
}

std::string Slot(int s) { return std::to_string(s); }

Status Distinct(std::span<const int> list, int size, const char* what) {
    std::vector<bool> seen(static_cast<size_t>(size), false);
    for (int s : list) {
        if (seen[static_cast<size_t>(s)])
            return Status::Error(StatusCode::Invalid,
                                 std::string("The list names ") + what + " " + Slot(s) + " twice!");
        seen[static_cast<size_t>(s)] = true;
    }
    return Status::Ok();
}

} // namespace

std::vector<int> MoveTargets(int n, std::span<const int> positions, MoveKind kind, int to) {
    if (!Ascending(n, positions)) return {};
    const int k = static_cast<int>(positions.size());
    std::vector<int> targets(positions.begin(), positions.end());
    switch (kind) {
    case MoveKind::Up:
        if (positions.front() == 0) return {};
        for (int& t : targets) --t;
        break;
    case MoveKind::Down:
        if (positions.back() == n - 1) return {};
        for (int& t : targets) ++t;
        break;
    case MoveKind::Top: to = 0; [[fallthrough]];
    case MoveKind::To:
        if (to < 0 || to > n - k) return {};
        for (int j = 0; j < k; ++j) targets[static_cast<size_t>(j)] = to + j;
        break;
    case MoveKind::Bottom:
        for (int j = 0; j < k; ++j) targets[static_cast<size_t>(j)] = n - k + j;
        break;
    }
    return targets;
}

std::vector<int> MovedOrder(int n, std::span<const int> positions, std::span<const int> targets) {
    std::vector<int> order(static_cast<size_t>(n), -1);
    std::vector<bool> moving(static_cast<size_t>(n), false);
    for (size_t j = 0; j < positions.size() && j < targets.size(); ++j) {
        order[static_cast<size_t>(targets[j])] = positions[j];
        moving[static_cast<size_t>(positions[j])] = true;
    }
    int next = 0;
    for (int& o : order) {
        if (o >= 0) continue;
        while (moving[static_cast<size_t>(next)]) ++next;
        o = next++;
    }
    return order;
}

Status CheckSatList(const Database& db, std::span<const int> list) {
    for (int s : list)
        if (s < 0 || s >= std::min<int>(db.SatCount, kSatSlots))
            return Status::Error(StatusCode::NotFound, "There is no satellite in slot " + Slot(s) + "!");
    return Distinct(list, kSatSlots, "satellite");
}

Status CheckTpList(const Database& db, std::span<const int> list) {
    for (int t : list) {
        if (t < 0 || t >= kTpSlots || db.Tp.data[t].Used != 1)
            return Status::Error(StatusCode::NotFound, "There is no transponder in slot " + Slot(t) + "!");
        if (db.Tp.data[t].SatIndex != db.Tp.data[list.front()].SatIndex)
            return Status::Error(StatusCode::Invalid,
                                 "Transponders " + Slot(list.front()) + " and " + Slot(t) +
                                     " belong to different satellites,\r\rSo they can not be moved together!");
    }
    return Distinct(list, kTpSlots, "transponder");
}

Status CheckProgList(const Database& db, std::span<const int> list) {
    for (int p : list) {
        if (p < 0 || p >= std::min<int>(db.ProgCount, kProgSlots))
            return Status::Error(StatusCode::NotFound, "There is no program in slot " + Slot(p) + "!");
        if ((db.Prog.data[p].IsRadio != 0) != (db.Prog.data[list.front()].IsRadio != 0))
            return Status::Error(StatusCode::Invalid,
                                 "Programs " + Slot(list.front()) + " and " + Slot(p) +
                                     " are not both TV or both radio programs,\r\rSo they can not be moved together!");
    }
    return Distinct(list, kProgSlots, "program");
}

void ReorderSatellites(Database& db, std::span<const int> list, std::span<const int> order) {
    // Satellite links are single bytes: every value is covered.
    const std::vector<int> to = NewSlots(list, order, 256);
    std::array<uint8_t, kSatSlots> counts = db.SatTpCounts;
    for (size_t i = 0; i < list.size(); ++i) counts[list[i]] = db.SatTpCounts[list[static_cast<size_t>(order[i])]];
    db.SatTpCounts = counts;
    for (int t = 0; t < kTpSlots; ++t) {
        const int s = to[db.Tp.data[t].SatIndex];
        if (s < 0) continue;
        SetTpSatellite(db.Tp.rec[t], db.Tp.data[t], static_cast<uint8_t>(s));
    }
    for (int p = 0; p < kProgSlots; ++p) {
        const int s = to[db.Prog.data[p].SatIndex];
        if (s >= 0) db.Prog.data[p].SatIndex = static_cast<uint8_t>(s);
    }
    MoveRecords(db.Sat, list, order,
                [](const SatRec& old, const SatData&, SatRec& rec, SatData&) { satrec::SlotBytes::Copy(old, rec); });
}

void ReorderTransponders(Database& db, std::span<const int> list, std::span<const int> order) {
    const std::vector<int> to = NewSlots(list, order, kTpSlots);
    for (int p = 0; p < kProgSlots; ++p) {
        const uint32_t t = db.Prog.data[p].TpIndex;
        if (t >= static_cast<uint32_t>(kTpSlots) || to[t] < 0) continue;
        SetProgTransponder(db.Prog.rec[p], db.Prog.data[p], static_cast<uint32_t>(to[t]));
    }
    MoveRecords(db.Tp, list, order, [](const TpRec& old, const TpData& oldData, TpRec& rec, TpData& data) {
        tprec::TpNo::Set(rec, tprec::TpNo::Get(old));
        data.TpNo = oldData.TpNo;
    });
}

void ReorderPrograms(Database& db, std::span<const int> list, std::span<const int> order) {
    const std::vector<int> to = NewSlots(list, order, kProgSlots);
    for (int a = 0; a < kAudioSlots; ++a) {
        const uint32_t p = db.Audio.data[a].ProgIndex;
        if (p >= static_cast<uint32_t>(kProgSlots) || to[p] < 0) continue;
        SetAudioProgram(db.Audio.rec[a], db.Audio.data[a], static_cast<uint32_t>(to[p]));
    }
    MoveRecords(db.Prog, list, order, [](const ProgRec&, const ProgData&, ProgRec&, ProgData&) {});
}

Status MoveInList(Database& db, ListOf what, std::span<const int> list, std::span<const int> positions, MoveKind kind,
                  int to, std::vector<int>* moved) {
    if (list.empty()) return Status::Error(StatusCode::Invalid, "The list is empty!");
    Status check = what == ListOf::Satellites     ? CheckSatList(db, list)
                   : what == ListOf::Transponders ? CheckTpList(db, list)
                                                  : CheckProgList(db, list);
    if (!check) return check;
    const int n = static_cast<int>(list.size());
    const std::vector<int> targets = MoveTargets(n, positions, kind, to);
    if (targets.empty())
        return Status::Error(StatusCode::Invalid,
                             "The entries can not be moved there: the list holds " + std::to_string(n) + "!");
    const std::vector<int> order = MovedOrder(n, positions, targets);
    switch (what) {
    case ListOf::Satellites: ReorderSatellites(db, list, order); break;
    case ListOf::Transponders: ReorderTransponders(db, list, order); break;
    case ListOf::Programs: ReorderPrograms(db, list, order); break;
    }
    if (moved) *moved = targets;
    return Status::Ok();
}

} // namespace dbase
