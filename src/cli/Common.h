// Shared pieces of the orbitlist-cli commands: argument parsing, opening the
// input file, reporting refusals and writing the output file.
#pragma once

#include "base/Bits.h"
#include "base/Status.h"
#include "document/Document.h"
#include "format/DataFile.h"
#include "model/Model.h"

#include <map>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace cli {

// A malformed command line; the command exits with status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ParsedArgs {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options; // valued options and flags ("" for flags)
    bool has(const std::string& name) const { return options.count(name) != 0; }
    const std::string* get(const std::string& name) const {
        auto it = options.find(name);
        return it == options.end() ? nullptr : &it->second;
    }
};

// Splits the arguments of a command into positional ones and options.
// `valued` lists the options that take a value ("--as", "-o"), `flags` those
// that do not. Accepts "--opt value" and "--opt=value". Throws UsageError on
// an unknown option or a missing value, and when the number of positional
// arguments lies outside [minPos, maxPos].
ParsedArgs ParseArgs(const std::vector<std::string>& args, const std::set<std::string>& valued,
                     const std::set<std::string>& flags, size_t minPos, size_t maxPos);

// Parses a whole decimal integer (optional sign); throws UsageError otherwise.
long long ParseInteger(const std::string& text, const std::string& what);

// Writes a refusal to `err` ("\r" as line breaks) and returns exit status 1.
int Fail(std::ostream& err, const dbase::Status& status);
int Fail(std::ostream& err, const std::string& message);

// Opens a data file the way a recent-file item does: 262,144 bytes as
// Channel data, any other size as Default data.
dbase::Status OpenInput(const std::string& path, dbase::Database& db, dbase::OpenedFile* opened = nullptr);

// Opens a data file as OpenInput does into `doc`, in the form it was read in.
dbase::Status OpenInput(const std::string& path, dbase::Document& doc);

// Opens `in` as OpenInput does once `out` is known to be a place a save can
// write to (a regular file, a link to one, or nothing yet), so that nothing
// is read, and nothing blocks, for a destination that would be refused.
dbase::Status OpenInputFor(const std::string& in, const std::string& out, dbase::Document& doc);

// The option of every command that writes a data file: without it an
// existing file is first kept as NAME.bak (see Document::Backups).
inline constexpr const char* kNoBackup = "--no-backup";

// Saves `doc` to `out` in form `mode`, the Save command's form when None.
// Unless `doc` has its backups off, an existing OUT is first kept as OUT.bak;
// when no backup can be made there, `err` says so and the save goes on.
dbase::Status SaveOutput(dbase::Document& doc, const std::string& out, std::ostream& err,
                         dbase::SaveMode mode = dbase::SaveMode::None);

// Tells on `err` that a file was written without a backup, when it was.
void NoteBackup(const dbase::BackupResult& backup, std::ostream& err);

// Names are ISO 8859-1 in the database and UTF-8 on the command line.
using dbase::Latin1ToUtf8;
using dbase::Utf8ToLatin1;

} // namespace cli
