// The settings file "ORBITLIST.ini": plain private-profile text ("[section]"
// headers and "key=value" lines, no escaping), which holds the list of the
// last three opened files. Where the file lives is the caller's choice.
#pragma once

#include "base/Status.h"

#include <array>
#include <string>
#include <string_view>

namespace dbase {

inline constexpr const char* kSettingsFileName = "ORBITLIST.ini";
inline constexpr const char* kRecentSection = "ORBITLIST_Tavrinex";
inline constexpr std::array<const char*, 3> kRecentKeys = {"Last_File_Name1", "Last_File_Name2", "Last_File_Name3"};

// The recent files, newest first; an empty text is an empty entry.
using RecentFileList = std::array<std::string, 3>;

// Returns the value of `key` in `section` of the profile file at `path`, or
// an empty text when the file, the section or the key is missing. Section and
// key names compare without regard to case; blanks around the key and the
// value are dropped, and so is one pair of quotes around the whole value.
std::string ReadProfileString(const std::string& path, std::string_view section, std::string_view key);

// Sets `key` in `section` of the profile text `text` to `value` and returns
// the new text. An existing key line is replaced where it stands, a new key
// goes after the last entry of its section, and a missing section is added at
// the end. Every other line is kept byte for byte.
std::string SetProfileString(std::string_view text, std::string_view section, std::string_view key,
                             std::string_view value);

// Sets `key` in `section` of the profile file at `path`, creating the file
// when it is missing. The file is replaced atomically. A file that can not be
// read (larger than 1 MiB, not a regular file) is refused and left alone.
Status WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                          std::string_view value);

// Reads "Last_File_Name1".."Last_File_Name3" of section "ORBITLIST_Tavrinex".
RecentFileList ReadRecentFiles(const std::string& path);
// The same, saying why a file that is there could not be read (the list is
// then empty). A missing file is an empty list.
Status ReadRecentFiles(const std::string& path, RecentFileList& files);

// Writes the three entries in one replacement of the file; a file that can
// not be read is refused and left alone, as WriteProfileString does.
Status WriteRecentFiles(const std::string& path, const RecentFileList& files);

// Ok when the settings file at `path` can be written: an existing one is
// written again with its own bytes, a missing one is made and removed.
Status TrySettingsWrite(const std::string& path);

// How the program in `exeDir` came to be there.
enum class ProgramPlace {
    Installed,   // in `installBinDir`, or in a "bin" folder beside "share/orbitlist"
    BuildFolder, // a build folder: "CMakeCache.txt" in the folder or its parent
    Elsewhere,   // a copy put anywhere else
};
ProgramPlace PlaceOfProgram(const std::string& exeDir, const std::string& installBinDir = {});

// Where the settings file lives. Beside the executable ("ORBITLIST.ini") for
// a run from a build folder, or where that file is already there (a portable
// copy), when a write there succeeds; otherwise, and always for an installed
// program (see PlaceOfProgram), in "orbitlist" under the per-user
// configuration folder `configDir` (made when missing) -- also for the
// super-user, who could write anywhere.
// `besideExe`, when given, receives why the place beside the executable was
// not taken (Ok when it was).
std::string ChooseSettingsFile(const std::string& exeDir, const std::string& configDir, Status* besideExe = nullptr,
                               const std::string& installBinDir = {});

// Returns true and sets `updated` to the list after `opened` was opened when
// the list changes: a file already in the list (exact, case-sensitive text)
// leaves it as it is, any other becomes the first entry and the third drops out.
bool RecentAfterOpen(const RecentFileList& current, const std::string& opened, RecentFileList& updated);

// Returns true and sets `updated` to the list without `missing` when it is in
// the list; the entries after it move up and the last becomes empty.
bool RecentAfterRemoval(const RecentFileList& current, const std::string& missing, RecentFileList& updated);

} // namespace dbase
