// batch: many editing commands in one run, one step of the document's
// history per line, with undo and redo.
#pragma once

#include "document/Document.h"

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// The largest script batch reads.
inline constexpr size_t kMaxScriptBytes = 4u << 20;

// Splits a line into words as a POSIX shell does, expanding nothing: blanks
// separate words; single quotes keep everything up to the next one; double
// quotes keep everything up to the next unescaped one, a backslash there
// escaping only $ ` " \; a backslash elsewhere keeps the next character; a
// word starting with # begins a comment. Returns nothing and sets `error`
// for an unbalanced quote or a backslash at the end of the line.
std::optional<std::vector<std::string>> SplitWords(std::string_view line, std::string& error);

// Runs the lines of `script` on `doc` in order. Returns 0 when every line
// ran, 1 at the first refused line and 2 at the first malformed one, whose
// message goes to `err` after "line N: ". Warnings of lines that ran go to
// `err` after their line number too.
int RunScript(dbase::Document& doc, std::string_view script, std::ostream& err);

} // namespace cli
