// Names of the steps of the edit history, as the Edit menu shows them
// ("Undo Delete program"). The window and the command-line tool use the same.
#pragma once

#include <string>

namespace dbase::steps {

inline constexpr const char* ChangeSatellite = "Change satellite";
inline constexpr const char* ResetSatellite = "Reset satellite";
inline constexpr const char* ImportTransponders = "Import transponders";
inline constexpr const char* MoveSatellite = "Move satellite";
inline constexpr const char* AddTransponder = "Add transponder";
inline constexpr const char* ChangeTransponder = "Change transponder";
inline constexpr const char* DeleteTransponder = "Delete transponder";
inline constexpr const char* DeleteEmptyTransponders = "Delete empty transponders";
inline constexpr const char* MoveTransponder = "Move transponder";
inline constexpr const char* AddProgram = "Add program";
inline constexpr const char* ChangeProgram = "Change program";
inline constexpr const char* DeleteProgram = "Delete program";
inline constexpr const char* MoveProgram = "Move program";
inline constexpr const char* MovePrograms = "Move programs";
inline constexpr const char* DeletePrograms = "Delete programs";
inline constexpr const char* SortPrograms = "Sort programs";
inline constexpr const char* ImportListOrder = "Import list order";
inline constexpr const char* ApplyReferenceList = "Apply reference list";

// "Mark favourite 3", "Mark lock", "Mark skip" for the marking button down
// (0..15 a favourite group, then lock and skip as the marking buttons count).
std::string Mark(int button);
// "Add to favourite 3", "Remove from favourite 3", "Lock programs",
// "Unlock programs", "Skip programs", "Unskip programs": a mark set (`on`)
// or cleared on several programs at once.
std::string SetMarks(int button, bool on);
// "Rename favourite 3", "Lock favourite 3", "Unlock favourite 3" (group 0..15).
std::string RenameFavourite(int group);
std::string LockFavourite(int group, bool locked);

} // namespace dbase::steps
