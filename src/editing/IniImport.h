// Transponder import from satellite .ini files ("[SATTYPE]" and "[DVB]"
// sections): the reader, which checks the whole file before anything is
// changed, and the import that replaces a satellite's transponders with the
// file's and gives it the file's name, position and a fixed LNB set-up.
#pragma once

#include "base/Status.h"
#include "model/Model.h"

#include <string>
#include <string_view>
#include <vector>

namespace dbase {

// The most transponders one file gives a satellite.
inline constexpr int kMaxImportTps = kMaxTpsPerSat;
// Longest satellite name a file gives.
inline constexpr size_t kMaxImportName = 18;

// Returns `text` without leading and trailing blanks and control characters.
std::string TrimText(std::string_view text);

// Returns the n-th field (1-based) of the trimmed `line` split at `separator`;
// empty when the line has fewer fields or n < 1. The field itself is not trimmed.
std::string GetField(std::string_view line, char separator, int n);

// True when the extension of `path` is exactly ".ini", ".INI" or ".Ini".
bool HasIniExtension(std::string_view path);

// Ok for a path HasIniExtension accepts, else "Open a Wrong File, ...".
Status CheckIniExtension(std::string_view path);

// One transponder line of a file.
struct IniTransponder {
    int line = 0;                        // 1-based line number in the file
    std::string freq;                    // field 1, trimmed
    std::string pol;                     // field 2, trimmed, "L"/"l" read as "H" and "R"/"r" as "V"
    std::string sym;                     // field 3, trimmed
    std::string fec, system, modulation; // fields 4-6, kept but not imported
    uint16_t freqValue = 0, symValue = 0;
};

// A transponder line of a file that was left out.
struct SkippedLine {
    int line = 0;     // 1-based line number
    std::string text; // the line, trimmed
    bool operator==(const SkippedLine&) const = default;
};
// How many left-out lines a file's reading keeps to quote.
inline constexpr size_t kMaxQuotedLines = 10;

// What a file holds, read by ParseIniText.
struct IniFile {
    std::string satName;      // first field of the name line, cut to 18 characters as it stands
    std::string satPos = "0"; // orbital position in tenths of a degree, as text
    int satTenths = 0;
    std::vector<IniTransponder> tps; // the storable transponders in file order, at most 150
    // The file lists more than 150 storable transponders: the first 150 are
    // kept and the user is told "One SAT have excced tp (150)!".
    bool truncated = false;
    // Transponder lines left out because their numbers can not be stored
    // (not a number, frequency of 16,384 MHz or more, symbol rate above
    // 65,535): how many, and the first ten of them.
    int skippedCount = 0;
    std::vector<SkippedLine> skippedLines;
    // Refusal of the whole file (no sections, or a position that is not a
    // whole number of tenths of a degree from 0 to 3600); Ok otherwise.
    Status status;
};

// Reads the text of a satellite .ini file (CR LF, LF or CR line ends).
//
// Lines are found by their index relative to the "[SATTYPE]" and "[DVB]"
// lines: the two lines after "[SATTYPE]" hold the position and the name, the
// line after "[DVB]" the count, and every later line with a value one
// transponder. Lines with an empty value are ignored. An "[UPDATE]" section
// ends the reading once "[DVB]" has been seen; one before it is skipped.
IniFile ParseIniText(std::string_view text);

// Reads the file at `path` into `out` with ParseIniText. Fails with the
// missing-file message when the file does not exist, and refuses one that is
// not a regular file or is larger than 4 MiB before reading it; the file's
// own refusal is left in out.status.
Status ParseIniFile(const std::string& path, IniFile& out);

// The notice that says how many transponder lines were left out and quotes
// the first ten at most, or an empty text when there are none.
std::string SkippedLinesWarning(const IniFile& file);

// Imports `file` into satellite `sat`. Refuses, changing nothing, a file whose
// status is a refusal, and an import that would bring the transponders in
// use above 2,200 ("Number of Tp exceed!"). Otherwise the satellite's
// transponders and their programs are deleted, the satellite takes the
// file's name and position with a Universal 9750/10600 LNB (its 22 kHz
// setting kept), and the file's transponders go into the lowest free slots
// numbered 1 .. n in file order with FEC "Auto". A file without transponders
// leaves the satellite its placeholder.
Status ImportIni(Database& db, int sat, const IniFile& file);

} // namespace dbase
