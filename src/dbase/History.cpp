#include "History.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace dbase {

namespace {

template <size_t N> uint64_t Hash(const std::array<uint8_t, N>& bytes) {
    uint64_t h = 1469598103934665603ull;
    for (uint8_t b : bytes) h = (h ^ b) * 1099511628211ull;
    return h;
}

template <class Table, class Delta> void DiffTable(const Table& from, const Table& to, Delta& d) {
    for (int i = 0; i < Table::Slots; ++i) {
        if (from.rec[i] == to.rec[i] && from.data[i] == to.data[i]) continue;
        d.changedSlots.push_back(i);
        d.before.push_back({from.rec[i], from.data[i]});
    }
    if (d.changedSlots.empty()) return;
    // A reordering moves whole entries between changedSlots: an entry found among
    // the old contents of the changed changedSlots is kept once.
    std::vector<std::pair<uint64_t, int>> index;
    index.reserve(d.before.size());
    for (size_t k = 0; k < d.before.size(); ++k) index.emplace_back(Hash(d.before[k].rec), static_cast<int>(k));
    std::sort(index.begin(), index.end());
    d.afterRef.reserve(d.changedSlots.size());
    for (int slot : d.changedSlots) {
        const auto& rec = to.rec[slot];
        const auto& data = to.data[slot];
        int ref = 0;
        bool found = false;
        const uint64_t h = Hash(rec);
        for (auto it = std::lower_bound(index.begin(), index.end(), std::make_pair(h, -1));
             it != index.end() && it->first == h; ++it) {
            const auto& e = d.before[static_cast<size_t>(it->second)];
            if (e.rec == rec && e.data == data) {
                ref = it->second;
                found = true;
                break;
            }
        }
        if (!found) {
            d.own.push_back({rec, data});
            ref = -static_cast<int>(d.own.size());
        }
        d.afterRef.push_back(ref);
    }
    d.changedSlots.shrink_to_fit();
    d.before.shrink_to_fit();
    d.own.shrink_to_fit();
}

template <class Table, class Delta> void ApplyTable(const Delta& d, bool after, Table& t) {
    for (size_t k = 0; k < d.changedSlots.size(); ++k) {
        const auto& e = after ? d.After(k) : d.before[k];
        t.rec[static_cast<size_t>(d.changedSlots[k])] = e.rec;
        t.data[static_cast<size_t>(d.changedSlots[k])] = e.data;
    }
}

CountsState Counts(const Database& db) {
    return {db.SatCount, db.TpCount, db.ProgCount, db.AudioCount, db.SatTpCounts, db.TpAlignWord};
}
void SetCounts(Database& db, const CountsState& c) {
    db.SatCount = c.SatCount;
    db.TpCount = c.TpCount;
    db.ProgCount = c.ProgCount;
    db.AudioCount = c.AudioCount;
    db.SatTpCounts = c.SatTpCounts;
    db.TpAlignWord = c.TpAlignWord;
}
FavNamesState FavNames(const Database& db) { return {db.FavNameBlock, db.FavNames}; }
void SetFavNames(Database& db, const FavNamesState& f) {
    db.FavNameBlock = f.FavNameBlock;
    db.FavNames = f.FavNames;
}
FavLocksState FavLocks(const Database& db) { return {db.FavLocks, db.FavLocksStored}; }
void SetFavLocks(Database& db, const FavLocksState& f) {
    db.FavLocks = f.FavLocks;
    db.FavLocksStored = f.FavLocksStored;
}

template <class T> void DiffGroup(const T& from, const T& to, Step::Change<T>& change) {
    if (!(from == to)) change = std::array<T, 2>{from, to};
}

size_t Heap(const std::string& s) { return s.capacity() > 15 ? s.capacity() + 1 : 0; }
size_t Heap(const SatData& d) { return Heap(d.LnbLow) + Heap(d.LnbHigh) + Heap(d.Longitude) + Heap(d.Name); }
size_t Heap(const TpData& d) { return Heap(d.Freq) + Heap(d.PolText) + Heap(d.FecText) + Heap(d.SymRate); }
size_t Heap(const ProgData& d) {
    return Heap(d.PcrPid) + Heap(d.PvtPid) + Heap(d.ServiceId) + Heap(d.VidPid) + Heap(d.AudPid) +
           Heap(d.FavMask) + Heap(d.PmtPid) + Heap(d.Name);
}
size_t Heap(const AudioData& d) { return Heap(d.Pid) + Heap(d.Lang); }

template <class Delta> size_t DeltaBytes(const Delta& d) {
    size_t n = d.changedSlots.capacity() * sizeof(int) + d.afterRef.capacity() * sizeof(int) +
               (d.before.capacity() + d.own.capacity()) * sizeof(typename Delta::Entry);
    for (const auto& e : d.before) n += Heap(e.data);
    for (const auto& e : d.own) n += Heap(e.data);
    return n;
}

template <class Delta> int FirstSlot(const Delta& d) { return d.changedSlots.empty() ? -1 : d.changedSlots.front(); }

} // namespace

size_t Step::Bytes() const {
    size_t n = sizeof(Step) + name.capacity() + DeltaBytes(sat) + DeltaBytes(tp) + DeltaBytes(prog) +
               DeltaBytes(audio);
    if (favNames)
        for (const auto& side : *favNames)
            for (const auto& s : side.FavNames) n += Heap(s);
    return n;
}

Step Diff(const Database& from, const Database& to) {
    Step step;
    DiffTable(from.Sat, to.Sat, step.sat);
    DiffTable(from.Tp, to.Tp, step.tp);
    DiffTable(from.Prog, to.Prog, step.prog);
    DiffTable(from.Audio, to.Audio, step.audio);
    DiffGroup(Counts(from), Counts(to), step.counts);
    DiffGroup(FavNames(from), FavNames(to), step.favNames);
    DiffGroup(FavLocks(from), FavLocks(to), step.favLocks);
    DiffGroup(from.Carried, to.Carried, step.carried);
    return step;
}

void ApplySide(const Step& step, bool after, Database& db) {
    const size_t side = after ? 1 : 0;
    ApplyTable(step.sat, after, db.Sat);
    ApplyTable(step.tp, after, db.Tp);
    ApplyTable(step.prog, after, db.Prog);
    ApplyTable(step.audio, after, db.Audio);
    if (step.counts) SetCounts(db, (*step.counts)[side]);
    if (step.favNames) SetFavNames(db, (*step.favNames)[side]);
    if (step.favLocks) SetFavLocks(db, (*step.favLocks)[side]);
    if (step.carried) db.Carried = (*step.carried)[side];
}

StepFocus DerivedFocus(const Step& step) {
    if (const int p = FirstSlot(step.prog); p >= 0) return {Entity::Prog, p};
    if (const int t = FirstSlot(step.tp); t >= 0) return {Entity::Tp, t};
    if (const int s = FirstSlot(step.sat); s >= 0) return {Entity::Sat, s};
    if (step.favNames || step.favLocks) return {Entity::Fav, -1};
    return {};
}

} // namespace dbase
