// make-manpage TEMPLATE OUT: writes the manual page of orbitlist-cli from
// TEMPLATE, putting the version, the release date, every command with its
// arguments and options, and the exit statuses in place of the template's
// markers. The texts come from the tool's own help, so the page lists exactly
// the commands the tool has.
#include "Version.h"
#include "cli/Help.h"

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

// Text as roff prints it literally: backslashes and hyphens escaped, and a
// line that would start with a control character guarded.
std::string Roff(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
    return out;
}

void WriteCommands(std::ostream& out) {
    for (const cli::Command& c : cli::Commands()) {
        const cli::CommandHelp* h = cli::FindCommandHelp(c.name);
        const std::string rest = c.usage.substr(c.name.size());
        out << ".SS " << Roff(c.name) << "\n"
            << ".B orbitlist\\-cli " << Roff(c.name) << "\n"
            << Roff(rest.empty() ? rest : rest.substr(1)) << "\n";
        if (!h) continue;
        out << ".PP\n" << Roff(h->summary) << "\n";
        for (const cli::ArgumentHelp& a : h->arguments)
            out << ".TP\n.B " << Roff(a.item) << "\n" << Roff(a.text) << "\n";
        for (const std::string& note : h->notes) out << ".PP\n" << Roff(note) << "\n";
    }
}

void WriteExitStatuses(std::ostream& out) {
    for (const auto& [status, meaning] : cli::ExitStatuses())
        out << ".TP\n.B " << status << "\n" << Roff(meaning) << "\n";
}

void ReplaceAll(std::string& line, const std::string& from, const std::string& to) {
    for (size_t at = line.find(from); at != std::string::npos; at = line.find(from, at + to.size()))
        line.replace(at, from.size(), to);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: make-manpage TEMPLATE OUT\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::cerr << "make-manpage: can not read " << argv[1] << '\n';
        return 1;
    }
    std::ostringstream page;
    for (std::string line; std::getline(in, line);) {
        if (line == ".\\\" @COMMANDS@") {
            WriteCommands(page);
        } else if (line == ".\\\" @EXIT_STATUS@") {
            WriteExitStatuses(page);
        } else {
            ReplaceAll(line, "@PROJECT_VERSION@", orbitlist::kVersion);
            ReplaceAll(line, "@ORBITLIST_RELEASE_DATE@", orbitlist::kReleaseDate);
            page << line << '\n';
        }
    }
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << page.str();
    if (!out.flush()) {
        std::cerr << "make-manpage: can not write " << argv[2] << '\n';
        return 1;
    }
    return 0;
}
