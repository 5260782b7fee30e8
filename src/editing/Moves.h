// Moving entries of a shown list to other places in one go: one place up or
// down, to the top or the bottom, or to a given position, for one entry or
// for a set of them (a block, which keeps its own order while the entries it
// passes keep theirs).
//
// A list is the slots a grid shows, in row order. A move gives the result of
// the exchanges of neighbours a drag makes (SwapSatellites, SwapTransponders,
// SwapPrograms between the slots of neighbouring rows, each moving an entry
// of the block past one that is not), computed as one permutation of the
// slots with every link that names a slot mended once.
#pragma once

#include "base/Status.h"
#include "model/Model.h"

#include <span>
#include <vector>

namespace dbase {

enum class MoveKind { Up, Down, Top, Bottom, To };

// The places (0-based, ascending) that the entries at `positions`
// (ascending, distinct, within a list of `n` entries) take: each one place
// up or down; the first or the last places of the list; or, for To, the
// places from `to` on. Empty when the move would take an entry out of the
// list, or when `positions` is empty or not ascending within the list.
std::vector<int> MoveTargets(int n, std::span<const int> positions, MoveKind kind, int to = 0);

// The order of a list of `n` entries after the entries at `positions` take
// the places `targets` (as MoveTargets gives them) and the others fill the
// remaining places in their order: element i is the old position of the
// entry that stands at place i afterwards.
std::vector<int> MovedOrder(int n, std::span<const int> positions, std::span<const int> targets);

// Whether the entries of `list` may be reordered among their slots:
// distinct satellites below SatCount; distinct transponders in use of one
// satellite; distinct programs below ProgCount of one kind.
Status CheckSatList(const Database& db, std::span<const int> list);
Status CheckTpList(const Database& db, std::span<const int> list);
Status CheckProgList(const Database& db, std::span<const int> list);

// Reorders the entries among the slots of `list` so that slot list[i] holds
// what slot list[order[i]] held, `order` being a permutation of 0..n-1, with
// the links mended as the exchanges mend them: satellites take their
// transponder counts, and the satellite links of transponders and programs
// follow (stored bytes 4-5 stay with the slot); transponders keep the
// number within their satellite with the slot (TpNo, stored byte 5) and the
// programs follow them; programs move whole and their extra audio tracks
// follow. The list must pass the check above.
void ReorderSatellites(Database& db, std::span<const int> list, std::span<const int> order);
void ReorderTransponders(Database& db, std::span<const int> list, std::span<const int> order);
void ReorderPrograms(Database& db, std::span<const int> list, std::span<const int> order);

// What a list holds, for the reorder and the check that go with it.
enum class ListOf { Satellites, Transponders, Programs };

// Moves the entries at `positions` of `list` as MoveTargets places them,
// checking the list first. On success `moved` (when given) receives their
// new places; a move that can not be made is refused with a message naming
// why, and changes nothing.
Status MoveInList(Database& db, ListOf what, std::span<const int> list, std::span<const int> positions, MoveKind kind,
                  int to = 0, std::vector<int>* moved = nullptr);

} // namespace dbase
