// Favourite, lock and skip marking: the model operations behind one click in
// a marking mode and the favourite-group locks. The marking buttons, their
// captions and the shades of marked rows are in viewlogic/MarkButtons.h.
#pragma once

#include "model/Model.h"

#include <cstdint>
#include <optional>
#include <span>

namespace dbase {

// Marking buttons are numbered as the caption operations number them:
// 0..15 the favourite button of that group index (SB_Fav01 is 0), then
// SB_Skip and SB_Lock. kNoMarkButton stands for browse mode.
inline constexpr int kNoMarkButton = -1;
inline constexpr int kSkipButton = 16;
inline constexpr int kLockButton = 17;
inline constexpr int kMarkButtonCount = 18;

// Applies one click on program `slot` in the marking mode of `button`: a
// favourite button flips the program's membership of that group, SB_Lock its
// lock and SB_Skip its skip flag, in the decoded and the stored record.
// Returns false, changing nothing, in browse mode or when
// `slot` is not a program (0 .. ProgCount-1).
bool ToggleMarks(Database& db, int slot, int button);

// Sets (`on`) or clears the mark of `button` (a favourite group, SB_Lock or
// SB_Skip) on program `slot`, in both forms. Returns true when the mark
// changed; false for a mark already so, browse mode or a slot that is not a
// program.
bool SetMark(Database& db, int slot, int button, bool on);
// SetMark on each of `slots`; returns how many changed.
int SetMarks(Database& db, std::span<const int> slots, int button, bool on);
// Whether program `slot` bears the mark of `button`.
bool HasMark(const Database& db, int slot, int button);
// Gives program `slot` (below ProgCount) the lock, skip and favourite marks
// given, in the decoded and the stored record; a mark given as nothing keeps
// its value. `fav` has bit g for favourite group g + 1.
void SetProgramMarks(Database& db, int slot, std::optional<bool> lock, std::optional<bool> skip,
                     std::optional<uint16_t> fav);

// Locks (true) or unlocks favourite group `group` (0..15), in the decoded
// and the stored copy, since the locks are saved with the file. Returns false,
// changing nothing, when no group is given (any other value of `group`).
bool SetFavLock(Database& db, int group, bool locked);

} // namespace dbase
