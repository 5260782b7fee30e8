// The edit history of a document: each step holds the slots and header
// fields it changed, before and after, so that it can be taken back and
// applied again exactly, in both record forms.
#pragma once

#include "model/Model.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace dbase {

// The kind of entry a step is about, for the selection after an undo or redo.
enum class Entity { None, Sat, Tp, Prog, Fav };

// The entry a step changed: the window selects it after the step is taken
// back or applied again, where it still exists.
struct StepFocus {
    Entity entity = Entity::None;
    int slot = -1;
    bool operator==(const StepFocus&) const = default;
};

// The database fields outside the four tables that a step may change, in
// groups compared and kept separately so that a step costs what it changed.
struct CountsState {
    uint16_t SatCount = 0, TpCount = 0, ProgCount = 0, AudioCount = 0;
    std::array<uint8_t, kSatSlots> SatTpCounts{};
    std::array<uint8_t, 2> TpAlignWord{};
    bool operator==(const CountsState&) const = default;
};
struct FavNamesState {
    std::array<uint8_t, kFavGroups * kFavNameSize> FavNameBlock{};
    std::array<std::string, kFavGroups> FavNames;
    bool operator==(const FavNamesState&) const = default;
};
struct FavLocksState {
    std::array<uint8_t, kFavGroups> FavLocks{}, FavLocksStored{};
    bool operator==(const FavLocksState&) const = default;
};

// What one slot holds: its stored record, and its decoded record when that
// is not the decoding of the stored one (a text kept as typed until the next
// read, such as "05750"); otherwise the decoded record is made again from the
// stored bytes when the step is applied.
template <class Rec, class Data> struct SlotContent {
    Rec rec{};
    std::unique_ptr<const Data> data; // nullptr: the decoding of `rec`
};

// The changed slots of one table, in ascending slot order. Each holds what
// the slot held before the step; what it holds after is either what another
// changed slot held before (an entry that moved, kept once: afterRef >= 0 is
// that slot's index in `changes`) or `own[-1 - afterRef]`.
template <class Rec, class Data> struct TableDelta {
    using Content = SlotContent<Rec, Data>;
    struct Change {
        int slot = 0;
        int afterRef = 0;
        Content before;
    };
    std::vector<Change> changes;
    std::vector<Content> own;

    bool empty() const { return changes.empty(); }
    const Content& After(size_t k) const {
        const int r = changes[k].afterRef;
        return r >= 0 ? changes[static_cast<size_t>(r)].before : own[static_cast<size_t>(-1 - r)];
    }
};

// One named step of the history.
struct Step {
    std::string name;
    StepFocus focus;
    TableDelta<SatRec, SatData> sat;
    TableDelta<TpRec, TpData> tp;
    TableDelta<ProgRec, ProgData> prog;
    TableDelta<AudioRec, AudioData> audio;
    // Before and after; kept on the heap, and only when the group changed.
    template <class T> using Change = std::unique_ptr<const std::array<T, 2>>;
    Change<CountsState> counts;
    Change<FavNamesState> favNames;
    Change<FavLocksState> favLocks;
    Change<std::array<uint8_t, kCarriedSize>> carried;

    bool empty() const {
        return sat.empty() && tp.empty() && prog.empty() && audio.empty() && !counts && !favNames && !favLocks &&
               !carried;
    }
    // Approximate heap and object size of the step.
    size_t Bytes() const;
};

// Which parts of the data a step changed.
struct StepParts {
    bool sats = false, tps = false, progs = false, favs = false, counts = false;
};

// Returns the step that turns `from` into `to`: every slot whose stored or
// decoded record differs, and every header group that differs. Entries that
// moved between changedSlots are kept once.
Step Diff(const Database& from, const Database& to);

// Writes the "before" (undo) or "after" (redo) side of `step` into `db`.
void ApplySide(const Step& step, bool after, Database& db);

// The first changed program, else transponder, else satellite of `step`.
StepFocus DerivedFocus(const Step& step);

StepParts PartsOf(const Step& step);

} // namespace dbase
