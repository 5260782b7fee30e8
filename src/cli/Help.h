// The help of orbitlist-cli: what each command does and what each of its
// arguments and options means. `orbitlist-cli --help`, `help COMMAND`,
// `COMMAND --help` and the manual page are all made from these texts.
#pragma once

#include "Commands.h"

#include <ostream>
#include <string>
#include <vector>

namespace cli {

// One item of a usage line, as the line spells it ("FILE", "tv|radio",
// "--name T", "-o OUT"), and what it means.
struct ArgumentHelp {
    std::string item;
    std::string text;
};

struct CommandHelp {
    std::string name;
    std::string summary;                 // one sentence: what the command does
    std::vector<ArgumentHelp> arguments; // in the order of the usage line
    std::vector<std::string> notes;      // further paragraphs
};

// The help of every command, in the order of Commands().
const std::vector<CommandHelp>& CommandHelps();
// Nullptr when `name` is not a command.
const CommandHelp* FindCommandHelp(const std::string& name);

// The items of a usage line without the command's name: a bracketed group
// is one item, an option takes the word after it as its value unless that
// word is an option too ("--port DEV", "[--json]", "tv|radio").
std::vector<std::string> UsageItems(const std::string& usage);

// The exit statuses every command shares, one "N  meaning" per entry.
const std::vector<std::pair<int, std::string>>& ExitStatuses();

// The whole usage: every command's usage line, how to reach a command's own
// help, and the exit statuses.
void PrintUsage(std::ostream& out);
// One command's usage line, summary, arguments and options.
void PrintCommandHelp(const Command& c, std::ostream& out);
// "orbitlist-cli 1.0.7".
void PrintVersion(std::ostream& out);

} // namespace cli
