// orbitlist-cli's help and version, and the documents that list its
// commands: every command of the usage has its help, its page section and
// its README line.
#include "Version.h"
#include "cli/Commands.h"
#include "cli/EditSupport.h"
#include "cli/Help.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

namespace {

struct Result {
    int status;
    std::string out, err;
};

Result RunCli(const cli::Args& args) {
    std::ostringstream out, err;
    const int status = cli::Run(args, out, err);
    return {status, out.str(), err.str()};
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs of blanks and line ends as one space.
std::string Collapse(const std::string& text) { return std::regex_replace(text, std::regex("\\s+"), " "); }

// A manual page's source as the reader sees its words: requests, font
// changes and escapes removed.
std::string RoffWords(const std::string& page) {
    std::string text = std::regex_replace(page, std::regex("(^|\n)\\.[A-Za-z]+ ?"), "$1");
    text = std::regex_replace(text, std::regex("\\\\f[BIRP]"), "");
    text = std::regex_replace(text, std::regex("\\\\-"), "-");
    text = std::regex_replace(text, std::regex("\\\\e"), "\\");
    text = std::regex_replace(text, std::regex("\\\\&"), "");
    return Collapse(text);
}

} // namespace

TEST(CliHelp, HelpWordsPrintTheUsageOnStdout) {
    for (const char* word : {"--help", "-h", "help"}) {
        const Result r = RunCli({word});
        EXPECT_EQ(r.status, 0) << word;
        EXPECT_EQ(r.err, "") << word;
        EXPECT_EQ(r.out.rfind("usage: orbitlist-cli COMMAND ...\n", 0), 0u) << word;
        for (const cli::Command& c : cli::Commands())
            EXPECT_NE(r.out.find("\n  orbitlist-cli " + c.usage + "\n"), std::string::npos) << c.name;
        EXPECT_NE(r.out.find("Exit status: 0 success; 1 a refusal or failure (the message is on stderr); 2 a "
                             "malformed command line.\n"),
                  std::string::npos);
    }
    // Without a command the usage is an error.
    const Result none = RunCli({});
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err.rfind("usage: orbitlist-cli COMMAND ...\n", 0), 0u);
}

TEST(CliHelp, EachCommandExplainsItselfWithoutRunning) {
    for (const cli::Command& c : cli::Commands()) {
        const cli::CommandHelp* h = cli::FindCommandHelp(c.name);
        ASSERT_NE(h, nullptr) << c.name;
        const Result byHelp = RunCli({"help", c.name});
        EXPECT_EQ(byHelp.status, 0) << c.name;
        EXPECT_EQ(byHelp.out.rfind("usage: orbitlist-cli " + c.usage + "\n\n", 0), 0u) << byHelp.out;
        // Each item starts a line, its text after it (wrapped to 100 columns).
        const std::string words = Collapse(byHelp.out);
        EXPECT_NE(words.find(h->summary), std::string::npos) << c.name;
        for (const cli::ArgumentHelp& a : h->arguments) {
            EXPECT_NE(byHelp.out.find("\n  " + a.item + "  "), std::string::npos) << c.name << ": " << a.item;
            EXPECT_NE(words.find(a.item + " " + Collapse(a.text)), std::string::npos) << c.name << ": " << a.item;
        }
        std::istringstream lines(byHelp.out);
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("usage: ", 0) != 0) {
                EXPECT_LE(line.size(), 100u) << line;
            }
        }
        // After the command, anywhere before "--"; the file named is not opened.
        EXPECT_EQ(RunCli({c.name, "--help"}).out, byHelp.out) << c.name;
        const Result late = RunCli({c.name, "/nonexistent/file.bin", "-h"});
        EXPECT_EQ(late.status, 0) << c.name;
        EXPECT_EQ(late.out, byHelp.out) << c.name;
        EXPECT_EQ(late.err, "");
    }
    // After "--" a --help is an argument like any other.
    const Result file = RunCli({"info", "--", "--help"});
    EXPECT_EQ(file.status, 1);
    EXPECT_EQ(file.out, "");
}

TEST(CliHelp, WrongHelpRequestsAreMalformed) {
    Result r = RunCli({"help", "frobnicate"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("orbitlist-cli: unknown command frobnicate\nusage: orbitlist-cli COMMAND", 0), 0u);
    r = RunCli({"help", "info", "dump"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "orbitlist-cli help: unexpected argument dump\n");
}

TEST(CliHelp, VersionIsTheBuildsVersion) {
    const Result r = RunCli({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, std::string("orbitlist-cli ") + orbitlist::kVersion + "\n");
    EXPECT_TRUE(std::regex_match(orbitlist::kVersion, std::regex("[0-9]+\\.[0-9]+\\.[0-9]+")));
}

// The help of a command names exactly the items of its usage line, in order,
// and the usage line names exactly the options the command's parser takes.
TEST(CliHelp, HelpAndUsageLinesAgree) {
    ASSERT_EQ(cli::CommandHelps().size(), cli::Commands().size());
    for (const cli::Command& c : cli::Commands()) {
        const cli::CommandHelp* h = cli::FindCommandHelp(c.name);
        ASSERT_NE(h, nullptr) << c.name;
        std::vector<std::string> items;
        for (const cli::ArgumentHelp& a : h->arguments) items.push_back(a.item);
        EXPECT_EQ(items, cli::UsageItems(c.usage)) << c.name;
    }
    for (const cli::EditCommand& e : cli::EditCommands()) {
        std::set<std::string> inUsage;
        for (const std::string& item : cli::UsageItems(e.usage)) {
            const std::string bare = item.front() == '[' ? item.substr(1) : item;
            if (bare.front() == '-') inUsage.insert(bare.substr(0, bare.find_first_of(" ]")));
        }
        std::set<std::string> parsed = e.valued;
        parsed.insert(e.flags.begin(), e.flags.end());
        parsed.insert("-o");
        EXPECT_EQ(inUsage, parsed) << e.name;
    }
    EXPECT_EQ(cli::UsageItems("read --port DEV --kind channel|default OUT"),
              (std::vector<std::string>{"--port DEV", "--kind channel|default", "OUT"}));
    EXPECT_EQ(cli::UsageItems("dump FILE [--json]"), (std::vector<std::string>{"FILE", "[--json]"}));
}

TEST(CliHelp, ReadmeAndManualPageListEveryCommand) {
    const std::string readme = Collapse(ReadText(ORBITLIST_SOURCE_DIR "/README.md"));
    const std::string page = ReadText(ORBITLIST_CLI_MANPAGE);
    const std::string words = RoffWords(page);
    for (const cli::Command& c : cli::Commands()) {
        const std::string line = "orbitlist-cli " + Collapse(c.usage);
        EXPECT_NE(readme.find(line), std::string::npos) << "README lacks: " << line;
        EXPECT_NE(words.find(line), std::string::npos) << "manual page lacks: " << line;
        EXPECT_NE(page.find(".SS " + std::regex_replace(c.name, std::regex("-"), "\\-") + "\n"), std::string::npos)
            << c.name;
        for (const cli::ArgumentHelp& a : cli::FindCommandHelp(c.name)->arguments)
            EXPECT_NE(words.find(Collapse(a.item + " " + a.text)), std::string::npos) << c.name << ": " << a.item;
    }
    for (const char* line : {"orbitlist-cli help [COMMAND]", "orbitlist-cli --version"}) {
        EXPECT_NE(readme.find(line), std::string::npos) << line;
        EXPECT_NE(words.find(line), std::string::npos) << line;
    }
    EXPECT_NE(words.find("EXIT STATUS 0 success 1 a refusal or failure (the message is on stderr) 2 a malformed "
                         "command line"),
              std::string::npos);
    EXPECT_NE(page.find(std::string("\"orbitlist ") + orbitlist::kVersion + "\""), std::string::npos);
}
