// Reordering the database: the exchanges one drag step makes between two
// satellites, transponders or programs, and the three sorts of the TV or
// radio programs. The drag steps themselves are in viewlogic/DragSteps.h.
//
// The receiver presents entries in slot order, so every reordering moves
// entries between slots and mends every link that names a slot: transponders
// name their satellite, programs their transponder (and satellite), extra
// audio tracks their program.
#pragma once

#include "base/Collation.h"
#include "base/Status.h"
#include "model/Model.h"

#include <span>
#include <vector>

namespace dbase {

// ---------------------------------------------------------------- exchanges

// Exchanges satellites `a` and `b`: their transponder counts, the satellite
// links of every transponder (both forms) and of every program (decoded), the
// decoded records and the stored records except bytes 4-5, which stay with
// the slot. `a` and `b` must be slots below SatCount.
void SwapSatellites(Database& db, int a, int b);

// Exchanges transponders `a` and `b` except their number within the
// satellite (TpNo, stored byte 5), which stays with the slot, and makes every
// program follow its transponder (TpIndex in both forms).
// `a` and `b` must be transponders in use of the same satellite.
void SwapTransponders(Database& db, int a, int b);

// Exchanges programs `a` and `b` whole, in both forms, and makes every extra
// audio track follow its program (ProgIndex in both forms). `a` and `b` must be programs below ProgCount.
void SwapPrograms(Database& db, int a, int b);

// Whether the exchanges above may be made between slots `a` and `b`: the
// slots differ and are in use (satellites below SatCount; transponders in use
// of one satellite; programs below ProgCount of one kind). The message of a
// refusal names the reason.
Status CheckSatSwap(const Database& db, int a, int b);
Status CheckTpSwap(const Database& db, int a, int b);
Status CheckProgSwap(const Database& db, int a, int b);

// ---------------------------------------------------------------- sorting

enum class ProgKind { Tv, Radio };
enum class SortKey { Name, Fav, Tp };

// The program slots 0 .. ProgCount-1 of one kind, ascending: the slots a
// sort of that kind permutes.
std::vector<int> KindSlots(const Database& db, ProgKind kind);

// The new order of the kind's programs, as their current slots.
// By name: the selection sort of the receiver's tools, comparing names with
// `collator` (leading blanks and controls ignored); among equal names the one
// latest in slot order comes first.
std::vector<int> NameOrder(const Database& db, ProgKind kind, const NameCollator& collator);
// By favourite group: the members of group 1, then of group 2 not yet
// listed, ... group 16, then the programs of no group, each in slot order.
std::vector<int> FavOrder(const Database& db, ProgKind kind);
// By transponder: the programs of each transponder in use, in transponder
// slot order, keeping their order within a transponder; then the programs
// whose TpIndex names no transponder in use, in slot order.
std::vector<int> TpOrder(const Database& db, ProgKind kind);

// Writes the kind's programs into its slots in `order` (a permutation of
// KindSlots): whole records in both forms, and every extra audio track
// renumbered to its program's new slot in both forms.
void ApplyProgramOrder(Database& db, ProgKind kind, const std::vector<int>& order);

// The sort commands (SorebyAZ1Click and its twins): reorder the kind's
// programs. The name sort uses the environment's collation
// unless one is given.
void SortPrograms(Database& db, ProgKind kind, SortKey key);
void SortPrograms(Database& db, ProgKind kind, SortKey key, const NameCollator& collator);

// The program lists after a sort: the programs of satellite `sat` when one
// is shown (0 or more), else all programs.
ProgLists ListProgsAfterSort(const Database& db, int sat);

} // namespace dbase
