// The one way every editing command of orbitlist-cli works: open FILE as
// `save` does, apply one operation with the window's checks as one step of
// the document's history, and save to the required -o OUT (which may be
// FILE) only when the operation succeeded. A batch script runs the same
// operations one after another on one document.
#pragma once

#include "Commands.h"
#include "Common.h"

#include "base/Status.h"
#include "document/Document.h"
#include "model/Model.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace cli {

// What a successful operation has to say once the output is written:
// warnings go to stderr, notes to stdout.
struct EditReport {
    std::vector<std::string> warnings;
    std::vector<std::string> notes;
    // The name of the step when it depends on the arguments ("Mark lock").
    std::string step;
};

using EditOperation = std::function<dbase::Status(const ParsedArgs& args, dbase::Database& db, EditReport& report)>;

// An editing command: its words, and the change it makes.
struct EditCommand {
    std::string name;              // "delete-program"
    std::string usage;             // without the program's name
    std::string step;              // the history step's name, unless the operation names it
    std::set<std::string> valued;  // options that take a value, besides -o
    size_t minPos = 1, maxPos = 1; // positional arguments, FILE included
    // Checks the words before the file is opened; throws UsageError.
    std::function<void(const ParsedArgs&)> check;
    EditOperation apply;
    std::set<std::string> flags = {}; // options without a value
};

// Every editing command, in the order the usage lists them.
const std::vector<EditCommand>& EditCommands();
const EditCommand* FindEditCommand(const std::string& name);

// The commands of each group, collected by EditCommands().
void AddDeleteEditCommands(std::vector<EditCommand>& list);
void AddDialogEditCommands(std::vector<EditCommand>& list);
void AddReorderEditCommands(std::vector<EditCommand>& list);
void AddImportEditCommands(std::vector<EditCommand>& list);
void AddListOrderEditCommands(std::vector<EditCommand>& list);

// Parses the words of command `c` (FILE first); with `output` the -o OUT
// option is taken and required, and --no-backup taken. Runs the command's
// check. Throws UsageError.
ParsedArgs ParseEditArgs(const EditCommand& c, const Args& args, bool output);

// Runs `c` as one step of `doc`. On success the warnings and notes are left
// in `report`; a refusal leaves the data as it was.
dbase::Status ApplyEdit(const EditCommand& c, const ParsedArgs& args, dbase::Document& doc, EditReport& report);

// Parses `args`, opens the first positional argument, applies the command
// and saves the result to -o OUT. Returns 0 on success, 1 when the file can
// not be opened or saved or the operation refuses (nothing is written then),
// and throws UsageError for a malformed command line.
int RunEdit(const EditCommand& c, const Args& args, std::ostream& out, std::ostream& err);

// A slot number given on the command line.
int SlotArg(const std::string& text, const std::string& what);

// The slots given from positional argument `first` on; with `distinct`, a
// slot given twice is a malformed command line.
std::vector<int> SlotArgs(const ParsedArgs& p, size_t first, bool distinct);

// No limit on the number of positional arguments.
inline constexpr size_t kAnyCount = static_cast<size_t>(-1);

// An integer option within [min, max]; throws UsageError otherwise.
int RangeArg(const std::string& text, const std::string& what, int min, int max);

// A name given in UTF-8, as ISO 8859-1 bytes; "Illegal Data!" when a
// character lies outside ISO 8859-1 or the text is not UTF-8.
dbase::Status NameArg(const std::string& utf8, std::string& latin1);

// The value of an option that must be given; throws UsageError when missing.
const std::string& RequiredOption(const ParsedArgs& p, const std::string& name);

} // namespace cli
