// Adding, deleting and resetting entries: the model operations behind the
// main window's add, delete and reset commands. They keep the tables packed
// and the counts true, change the stored and the decoded form of every slot
// they touch. Confirmations, list refreshes, the selection that follows a
// command and the step of the edit history belong to the caller.
#pragma once

#include "base/Status.h"
#include "model/Model.h"
#include "model/Slots.h"

#include <span>
#include <vector>

namespace dbase {

// The transponder every satellite keeps when all its others are gone.
inline constexpr int kPlaceholderFreq = 4000;
inline constexpr int kPlaceholderSymRate = 28125;

// Stored and decoded forms of the placeholder transponder of satellite `sat`
// (4000 MHz, "H", 28125 kS/s, FEC "Auto", number 1).
TpRec PlaceholderTpRec(int sat);
TpData PlaceholderTpData(int sat);

// Return Ok when the slot holds a satellite (below SatCount), a transponder
// in use, or a program (below ProgCount); otherwise a refusal naming the slot.
Status CheckSatSlot(const Database& db, int sat);
Status CheckTpSlot(const Database& db, int tp);
Status CheckProgSlot(const Database& db, int slot);

// Returns the lowest transponder slot that is not in use, or -1 when all are.
int FirstFreeTpSlot(const Database& db);

// Returns the number of transponder slots in use that belong to `sat`, read
// from the table rather than from SatTpCounts.
int CountSatTransponders(const Database& db, int sat);

// Returns the number of programs in use (below ProgCount) on transponder `tp`,
// TV and radio together.
int CountTpPrograms(const Database& db, int tp);

// Returns Ok when a transponder may be added to satellite `sat`, else the
// refusal: 2,200 transponders in all, or 150 on this satellite.
Status CheckAddTransponder(const Database& db, int sat);

// Returns Ok when a program may be added to transponder `tp`, else the
// refusal: 3,000 programs in all, or 120 on this transponder.
Status CheckAddProgram(const Database& db, int tp);

// Removes every extra audio track of program `prog` from the audio table and
// packs the table: later tracks move up in order and the slots freed at the
// end become empty. Returns the number removed. AudioCount is left for the
// caller to lower (DeleteProgram does).
int RemoveProgAudio(Database& db, int prog);

// Makes every audio track (below AudioCount) of program slot `oldSlot` name
// `newSlot` instead, in both forms.
void RenumberProgAudio(Database& db, int oldSlot, int newSlot);

// Deletes program `slot` with its extra audio tracks. Every later program
// moves down one slot with all its fields, its tracks following it; the slot
// freed at the end of the table is emptied. Does nothing for a slot outside
// 0 .. ProgCount - 1.
void DeleteProgram(Database& db, int slot);

// Deletes the programs in `slots` (each below ProgCount; the order does not
// matter) with their extra audio tracks, in one pass: the result is that of
// deleting them one at a time from the highest slot down. Slots outside
// 0 .. ProgCount - 1 are passed over. Returns the number deleted.
int DeletePrograms(Database& db, std::span<const int> slots);

// What DeleteTransponder did.
struct TpDeleteResult {
    // The satellite's last transponder was turned into the placeholder.
    bool PlaceholderTpMade = false;
    // Slot of the placeholder when one was made, else -1.
    int placeholderSlot = -1;
    // Number of programs deleted with the transponder.
    int programsDeleted = 0;
};

// Deletes transponder `tp` of satellite `sat` (its SatIndex) and every
// program on it. The satellite's later transponders are renumbered so that
// their numbers stay 1 .. n. When it was the satellite's last transponder,
// the lowest free slot becomes the satellite's placeholder and the counts do
// not change.
TpDeleteResult DeleteTransponder(Database& db, TpSlot tp, SatSlot sat);

// Returns the transponders among `listed` (in that order, up to the first
// negative entry) that carry no program in use.
std::vector<int> EmptyTransponders(const Database& db, std::span<const int> listed);

// Deletes each of `tps` in order with its own satellite, as "Delete all empty
// transponders" does with the list EmptyTransponders returns. Returns the
// number deleted.
int DeleteTransponders(Database& db, std::span<const int> tps);

// Deletes every transponder of satellite `sat` found in the transponder table,
// with their programs, and leaves the satellite its placeholder alone (made
// in the lowest free slot). Returns the placeholder's slot, or -1 when no slot
// was free for it.
int ClearSatTransponders(Database& db, int sat);

// Gives satellite `sat` the settings of a new satellite ("NEWSAT" at 1.0°,
// Universal LNB 9750/10600, 13/18 V, DiSEqC off) keeping its 22 kHz byte,
// then clears its transponders (ClearSatTransponders).
void ResetSatellite(Database& db, int sat);

} // namespace dbase
