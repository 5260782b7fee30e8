// The one way every editing command of orbitlist-cli works: open FILE as
// `save` does, apply one operation with the window's checks, and save to the
// required -o OUT (which may be FILE) only when the operation succeeded.
#pragma once

#include "Commands.h"
#include "Common.h"

#include "dbase/Model.h"
#include "dbase/Status.h"

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
};

using EditOperation = std::function<dbase::Status(const ParsedArgs& args, dbase::Database& db, EditReport& report)>;

// Parses `args` (adding "-o" to the valued options), opens the first
// positional argument, runs `operation` and saves the result to -o OUT.
// Returns 0 on success, 1 when the file can not be opened or saved or the
// operation refuses (nothing is written then), and throws UsageError for a
// malformed command line.
int RunEdit(const Args& args, std::set<std::string> valued, size_t minPos, size_t maxPos, std::ostream& out,
            std::ostream& err, const EditOperation& operation);

// A slot number given on the command line.
int SlotArg(const std::string& text, const std::string& what);

// An integer option within [min, max]; throws UsageError otherwise.
int RangeArg(const std::string& text, const std::string& what, int min, int max);

// A name given in UTF-8, as ISO 8859-1 bytes; "Illegal Data!" when a
// character lies outside ISO 8859-1 or the text is not UTF-8.
dbase::Status NameArg(const std::string& utf8, std::string& latin1);

// The value of an option that must be given; throws UsageError when missing.
const std::string& RequiredOption(const ParsedArgs& p, const std::string& name);

} // namespace cli
