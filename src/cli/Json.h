// A small JSON text writer for the dump command.
#pragma once

#include <string>

namespace cli {

// `text` (UTF-8) as a quoted JSON string.
std::string JsonString(const std::string& utf8);

} // namespace cli
