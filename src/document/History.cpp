#include "document/History.h"

#include "format/Image.h"

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

// The decoded form of a stored record as a read of the image gives it; a
// program takes its satellite from the transponder table of the same side.
void Decode(const Database&, const SatRec& r, SatData& d) { DecodeSat(r, d); }
void Decode(const Database&, const TpRec& r, TpData& d) { DecodeTp(r, d); }
void Decode(const Database& db, const ProgRec& r, ProgData& d) { DecodeProg(r, db.Tp, d); }
void Decode(const Database&, const AudioRec& r, AudioData& d) { DecodeAudio(r, d); }

// True when slot contents (`rec`, `data`) of database `side` can be kept as
// the stored record alone.
template <class Rec, class Data> bool Derivable(const Database& side, const Rec& rec, const Data& data, Data& scratch) {
    Decode(side, rec, scratch);
    return scratch == data;
}

template <class Rec, class Data> SlotContent<Rec, Data> Content(const Rec& rec, const Data& data, bool derivable) {
    return {rec, derivable ? nullptr : std::make_unique<const Data>(data)};
}

template <class Table, class Delta>
void DiffTable(const Database& fromDb, const Table& from, const Database& toDb, const Table& to, Delta& d) {
    typename decltype(Table::data)::value_type scratch;
    std::vector<bool> beforeDerived;
    for (int i = 0; i < Table::Slots; ++i) {
        if (from.rec[i] == to.rec[i] && from.data[i] == to.data[i]) continue;
        const bool derived = Derivable(fromDb, from.rec[i], from.data[i], scratch);
        d.changes.push_back({i, 0, Content(from.rec[i], from.data[i], derived)});
        beforeDerived.push_back(derived);
    }
    if (d.changes.empty()) return;
    // A reordering moves whole entries between slots: an entry found among
    // the old contents of the changed slots is kept once.
    std::vector<std::pair<uint64_t, int>> index;
    index.reserve(d.changes.size());
    for (size_t k = 0; k < d.changes.size(); ++k)
        index.emplace_back(Hash(d.changes[k].before.rec), static_cast<int>(k));
    std::sort(index.begin(), index.end());
    for (auto& change : d.changes) {
        const auto& rec = to.rec[change.slot];
        const auto& data = to.data[change.slot];
        const bool derived = Derivable(toDb, rec, data, scratch);
        int ref = -1;
        const uint64_t h = Hash(rec);
        for (auto it = std::lower_bound(index.begin(), index.end(), std::make_pair(h, -1));
             it != index.end() && it->first == h; ++it) {
            const auto k = static_cast<size_t>(it->second);
            // The old contents serve when they hold the same record and, where
            // they keep only the stored bytes, those decode to it here too.
            if (from.rec[d.changes[k].slot] == rec && from.data[d.changes[k].slot] == data &&
                (derived || !beforeDerived[k])) {
                ref = it->second;
                break;
            }
        }
        if (ref < 0) {
            d.own.push_back(Content(rec, data, derived));
            ref = -static_cast<int>(d.own.size());
        }
        change.afterRef = ref;
    }
    d.changes.shrink_to_fit();
    d.own.shrink_to_fit();
}

template <class Table, class Delta> void ApplyTable(const Delta& d, bool after, Database& db, Table& t) {
    for (size_t k = 0; k < d.changes.size(); ++k) {
        const auto& content = after ? d.After(k) : d.changes[k].before;
        const auto slot = static_cast<size_t>(d.changes[k].slot);
        t.rec[slot] = content.rec;
        if (content.data)
            t.data[slot] = *content.data;
        else
            Decode(db, content.rec, t.data[slot]);
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
    if (!(from == to)) change = std::make_unique<const std::array<T, 2>>(std::array<T, 2>{from, to});
}

template <class T> size_t GroupBytes(const Step::Change<T>& change) { return change ? sizeof(*change) : 0; }

size_t Heap(const std::string& s) { return s.capacity() > 15 ? s.capacity() + 1 : 0; }
size_t Heap(const SatData& d) { return Heap(d.LnbLow) + Heap(d.LnbHigh) + Heap(d.Longitude) + Heap(d.Name); }
size_t Heap(const TpData& d) { return Heap(d.Freq) + Heap(d.PolText) + Heap(d.FecText) + Heap(d.SymRate); }
size_t Heap(const ProgData& d) {
    return Heap(d.PcrPid) + Heap(d.PvtPid) + Heap(d.ServiceId) + Heap(d.VidPid) + Heap(d.AudPid) + Heap(d.FavMask) +
           Heap(d.PmtPid) + Heap(d.Name);
}
size_t Heap(const AudioData& d) { return Heap(d.Pid) + Heap(d.Lang); }

template <class Content> size_t ContentHeap(const Content& c) { return c.data ? sizeof(*c.data) + Heap(*c.data) : 0; }

template <class Delta> size_t DeltaBytes(const Delta& d) {
    size_t n =
        d.changes.capacity() * sizeof(typename Delta::Change) + d.own.capacity() * sizeof(typename Delta::Content);
    for (const auto& c : d.changes) n += ContentHeap(c.before);
    for (const auto& c : d.own) n += ContentHeap(c);
    return n;
}

template <class Delta> int FirstSlot(const Delta& d) { return d.changes.empty() ? -1 : d.changes.front().slot; }

} // namespace

size_t Step::Bytes() const {
    size_t n = sizeof(Step) + name.capacity() + DeltaBytes(sat) + DeltaBytes(tp) + DeltaBytes(prog) + DeltaBytes(audio);
    n += GroupBytes(counts) + GroupBytes(favNames) + GroupBytes(favLocks) + GroupBytes(carried);
    if (favNames)
        for (const auto& side : *favNames)
            for (const auto& s : side.FavNames) n += Heap(s);
    return n;
}

Step Diff(const Database& from, const Database& to) {
    Step step;
    DiffTable(from, from.Sat, to, to.Sat, step.sat);
    DiffTable(from, from.Tp, to, to.Tp, step.tp);
    DiffTable(from, from.Prog, to, to.Prog, step.prog);
    DiffTable(from, from.Audio, to, to.Audio, step.audio);
    DiffGroup(Counts(from), Counts(to), step.counts);
    DiffGroup(FavNames(from), FavNames(to), step.favNames);
    DiffGroup(FavLocks(from), FavLocks(to), step.favLocks);
    DiffGroup(from.Carried, to.Carried, step.carried);
    return step;
}

void ApplySide(const Step& step, bool after, Database& db) {
    const size_t side = after ? 1 : 0;
    // Transponders before programs: a program's decoded satellite comes from
    // the transponder table as this side has it.
    ApplyTable(step.sat, after, db, db.Sat);
    ApplyTable(step.tp, after, db, db.Tp);
    ApplyTable(step.prog, after, db, db.Prog);
    ApplyTable(step.audio, after, db, db.Audio);
    if (step.counts) SetCounts(db, (*step.counts)[side]);
    if (step.favNames) SetFavNames(db, (*step.favNames)[side]);
    if (step.favLocks) SetFavLocks(db, (*step.favLocks)[side]);
    if (step.carried) db.Carried = (*step.carried)[side];
}

StepParts PartsOf(const Step& step) {
    return {!step.sat.empty(), !step.tp.empty(), !step.prog.empty() || !step.audio.empty(),
            step.favNames != nullptr || step.favLocks != nullptr, step.counts != nullptr};
}

StepFocus DerivedFocus(const Step& step) {
    if (const int p = FirstSlot(step.prog); p >= 0) return {Entity::Prog, p};
    if (const int t = FirstSlot(step.tp); t >= 0) return {Entity::Tp, t};
    if (const int s = FirstSlot(step.sat); s >= 0) return {Entity::Sat, s};
    if (step.favNames || step.favLocks) return {Entity::Fav, -1};
    return {};
}

} // namespace dbase
