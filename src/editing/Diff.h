// What changed from one database to another: satellites paired by
// longitude, transponders by satellite longitude, frequency and
// polarisation, programs by the matching of lists (Lists.h), and the
// favourite groups by number. Fields are named, and their values written, as
// the dump of the command-line tool gives them.
#pragma once

#include "model/Model.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace dbase {

// A value as the dump writes it: a text, or a number (or list of numbers)
// written as it stands (`raw`). Texts are ISO 8859-1.
struct DiffValue {
    std::string text;
    bool raw = false;
    bool operator==(const DiffValue&) const = default;
};

struct FieldChange {
    std::string field;
    DiffValue before, after;
};

enum class DiffKind { Added, Removed, Changed, Moved };

// "added", "removed", "changed", "moved".
const char* DiffKindName(DiffKind kind);

struct DiffEntry {
    DiffKind kind = DiffKind::Changed;
    // The entity's key fields, named as the columns of an exported list
    // ("longitude", "frequency", ...): the new side's for an entity on both.
    std::vector<std::pair<std::string, DiffValue>> key;
    std::optional<std::string> name;
    std::vector<FieldChange> fields; // changed entries
    // Programs: the number in the list of the side the entry comes from
    // (1-based, as the window numbers its rows), and its slot there.
    int number = 0;
    int slot = -1;
    // Moved programs: the 1-based position among the paired programs of
    // their kind, and the number in the list, before and after.
    int positions[2] = {0, 0};
    int numbers[2] = {0, 0};
};

enum class DiffSection { Satellites, Transponders, Programs, Favourites };

struct DatabaseDiff {
    std::vector<DiffEntry> satellites, transponders, programs, favourites;
    const std::vector<DiffEntry>& of(DiffSection s) const;
    bool Same() const;
};

// What changed from `a` to `b`. Satellites (name and LNB settings),
// transponders (symbol rate and FEC) and programs (every field of the dump
// but its slot links, and the transponder it is on) are added, removed or
// changed; a program is moved when its position among the paired programs
// of its kind differs, so that a deletion does not move every later one.
// Favourite groups whose name or lock changed are listed as changed. Each
// list keeps the order of the side its entries come from: removed entries
// in `a`'s order, the others in `b`'s.
DatabaseDiff DiffDatabases(const Database& a, const Database& b);

// "Satellites", "Transponders", "Programs", "Favourite groups".
const char* DiffSectionTitle(DiffSection s);

// One entry for people: its key and name (and a program's number in its
// list, "(NO.4)"), then for a change the fields (`Name "Alpha" -> "Beta",
// Lock 0 -> 1`), for a move its positions.
std::string DiffEntryText(DiffSection section, const DiffEntry& entry);

// The whole difference for people: "The files are the same." or, per
// section with entries, its title and one line per entry.
std::vector<std::string> DiffLines(const DatabaseDiff& diff);

} // namespace dbase
