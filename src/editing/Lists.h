// Program lists in and out: the key that finds a program again in another
// list, the matching of a list's rows to the programs of a database, the
// list as CSV for spreadsheets, putting a database into the order (and the
// marks) of a list or of another data file, and duplicate programs.
#pragma once

#include "base/Status.h"
#include "model/Model.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dbase {

// ---------------------------------------------------------------- the key

// What finds a program again: its satellite's longitude, its transponder's
// frequency and polarisation text, and its service id. Numbers compare by
// value and the polarisation without regard to case (see ProgKeyText).
struct ProgKey {
    std::string longitude, frequency, polarisation, serviceId;
};

// The key of program `slot`, from its satellite and transponder as they
// stand (empty parts where the program names none in use).
ProgKey ProgramKey(const Database& db, int slot);

// The longitude text of program `slot`'s satellite; empty when the program
// names no satellite below SatCount.
std::string ProgramLongitude(const Database& db, int slot);

// One text per key such that two keys are the same exactly when their
// texts are equal: numbers in their shortest form, the polarisation in
// upper case, the parts separated by a character no key part holds.
std::string ProgKeyText(const ProgKey& key);

// A row of a list to be found among a database's programs.
struct MatchRow {
    bool radio = false;
    ProgKey key;
    // The name as the database stores it (ISO 8859-1); a row without one is
    // found by its key alone.
    std::optional<std::string> name;
};

// Finds the rows among the programs of `db`, in row order. Each row takes
// the first program of its kind, in the order of the window's list (the
// programs in use, in slot order), that no earlier row took and has the
// row's key; failing that, the first such program whose satellite has the
// row's longitude and whose name is exactly the row's; failing that none.
// Returns a slot, or -1, per row.
std::vector<int> MatchPrograms(const Database& db, std::span<const MatchRow> rows);

// The rows of `db`'s own programs in list order, TV then radio, with their
// names: what another database's programs are matched against.
std::vector<MatchRow> ProgramRows(const Database& db, const ProgLists& lists);

// ---------------------------------------------------------------- CSV out

// The columns of an exported list, in order.
const std::vector<std::string>& ListColumns();

// The list as CSV: a header line, then the TV list and the radio list in the
// window's order, one record per program; UTF-8, CRLF line ends, no
// byte-order mark, fields quoted only where needed.
std::string ExportListCsv(const Database& db);

// ---------------------------------------------------------------- lists in

// One row of a list read in. Marks not given are nothing.
struct ListRow {
    int line = 0; // the line of the CSV the row starts on
    MatchRow match;
    std::optional<bool> lock, skip;
    std::optional<uint16_t> fav; // bit g = favourite group g + 1
};

// A list to put a database into: its rows, and which of the columns that
// change programs it has.
struct ListFile {
    std::vector<ListRow> rows;
    bool hasName = false, hasLock = false, hasSkip = false, hasFav = false;
};

// The largest CSV file read.
inline constexpr uint64_t kMaxListFileBytes = 16u << 20;

// Reads a CSV list (see ReadCsv). Only the columns kind, longitude,
// frequency, polarisation and service_id are required, in any order; name,
// lock, skip and favourites are read when present (headers compare without
// regard to case and surrounding blanks) and every other column is ignored.
// Records whose fields are all blank are skipped. Refuses, naming the line:
// a malformed CSV, a record with more or fewer fields than the header, a
// kind other than tv or radio, a lock or skip cell other than 0, 1 or empty,
// a favourites cell with anything but group numbers 1 to 16 separated by
// blanks; and with `names`, a list without a name column and a name the
// program editor would refuse. An empty lock or skip cell leaves the mark;
// an empty favourites cell means no group.
Status ReadListCsv(std::string_view text, bool names, ListFile& list);

// Reads the CSV file at `path` as ReadListCsv does.
Status ReadListCsvFile(const std::string& path, bool names, ListFile& list);

// The programs of `ref` as a list, read as its exported CSV would be: every
// row has its name, lock, skip and favourites. With `names`, a name the
// program editor would refuse is refused, naming the program.
Status ListFromDatabase(const Database& ref, bool names, ListFile& list);

// What putting a database into a list's order does: the program each row
// found (-1 for none) and the counts the summary tells.
struct ListPlan {
    std::vector<int> match;
    int matched = 0;
    int notFound = 0;
    int notListed = 0;                // programs in use that no row found
    std::vector<size_t> notFoundRows; // indexes into the list's rows
};

ListPlan PlanListOrder(const Database& db, const ListFile& list);

// "N matched, M rows not found, K programs not in the list".
std::string ListSummary(const ListPlan& plan);

// Puts each kind's programs into the list's order: the matched programs
// first, in row order, then the others in their present order (records move
// whole and extra audio tracks follow, as the sorts do). The matched
// programs take the list's lock, skip and favourites where it has those
// columns and, with `names`, its names. `plan` is PlanListOrder's for `db`
// and `list`, and `list` was read with `names` when `names` is set.
void ApplyListOrder(Database& db, const ListFile& list, const ListPlan& plan, bool names);

// ---------------------------------------------------------------- duplicates

// Groups of two or more programs in use of one kind that share their key,
// and groups of two or more of one kind with the same name on the same
// transponder; a group that is both is listed once. Each group's slots
// ascend; groups are in the order of their first slot, then their second.
std::vector<std::vector<int>> DuplicateGroups(const Database& db);

// The slots to select so that a delete removes the duplicates: every member
// of a group but its first, except a program that is the first of another
// group, so that no group loses all its members. Ascending.
std::vector<int> DuplicatesToSelect(const std::vector<std::vector<int>>& groups);

} // namespace dbase
