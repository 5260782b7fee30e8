#include "Help.h"

#include "Common.h"
#include "Version.h"

#include <algorithm>
#include <sstream>

namespace cli {

namespace {

// Items that most commands share.
const ArgumentHelp kFile = {"FILE", "the data file to open: 262,144 bytes as Channel data, any other size as "
                                    "Default data"};
const ArgumentHelp kOut = {"-o OUT", "where to save the result, in the form Save uses; OUT may be FILE, which is "
                                     "then replaced atomically; nothing is written when the command refuses"};
const ArgumentHelp kFav = {"[--fav MASK16]", "the favourite groups as 16 digits 0 or 1, group 16 first, as dump "
                                             "prints them"};

std::vector<ArgumentHelp> ProgramOptions(bool add) {
    const auto opt = [add](const std::string& item, bool required) {
        return add && required ? item : "[" + item + "]";
    };
    return {
        {opt("--name T", true), "the name, at most 15 characters of ISO 8859-1 given in UTF-8"},
        {opt("--vid N", true), "the video PID"},
        {opt("--aud N", true), "the audio PID"},
        {opt("--pcr N", true), "the PCR PID"},
        {opt("--pvt N", false), "the private (teletext) PID"},
        {opt("--pmt N", false), "the PMT PID"},
        {opt("--sid N", false), "the service id"},
        {opt("--lock 0|1", false), "locked (1) or not (0)"},
        {opt("--skip 0|1", false), "skipped (1) or not (0)"},
        kFav,
    };
}

std::vector<ArgumentHelp> TransponderOptions(bool add) {
    const auto opt = [add](const std::string& item) { return add ? item : "[" + item + "]"; };
    return {
        {opt("--freq N"), "the frequency in MHz"},
        {opt("--sym N"), "the symbol rate in kS/s"},
        {opt("--pol H|V"), "the polarisation, horizontal or vertical"},
        {opt("--fec TEXT"), "the FEC as the editor lists it (Auto, 1/2, 2/3, 3/4, 5/6, 6/7, 7/8)"},
    };
}

template <class... Items> std::vector<ArgumentHelp> Join(std::vector<ArgumentHelp> list, const Items&... more) {
    (list.insert(list.end(), more.begin(), more.end()), ...);
    return list;
}

const std::string kEditNote = "The change is checked as the editor checks it; a refused change prints the "
                              "editor's message and writes nothing.";

std::vector<CommandHelp> BuildHelps() {
    using V = std::vector<ArgumentHelp>;
    return {
        {"info", "Prints the file's kind, size, placement and counts, one \"key: value\" per line.", {kFile}, {}},
        {"dump",
         "Prints every table of the database: as text, or as one JSON object.",
         {kFile, {"[--json]", "print JSON, names in UTF-8"}},
         {}},
        {"find",
         "Prints the programs in use that match every condition given, in ascending slot order: one line "
         "\"SLOT<TAB>NAME\" each, the name in UTF-8 as dump prints it.",
         {kFile,
          {"[TEXT]", "text the name contains, compared without case (ISO 8859-1 names, Unicode simple case "
                     "folding); a text of digits alone also matches a service id or PID equal to it"},
          {"[--kind tv|radio]", "only TV or only radio programs"},
          {"[--sat SLOT]", "only the programs of this satellite"},
          {"[--tp SLOT]", "only the programs of this transponder"},
          {"[--scrambled | --free]", "only scrambled or only free-to-air programs"},
          {"[--fav N]", "only the members of favourite group N (1 to 16)"},
          {"[--lock 0|1]", "only programs that are not (0) or are (1) locked"},
          {"[--skip 0|1]", "only programs that are not (0) or are (1) skipped"},
          {"[--sid N]", "only the programs with this service id"},
          {"[--pid N]", "only the programs with this video, audio, PCR or PMT PID or an extra audio track of it "
                        "(the private PID does not count)"},
          {"[--json]", "print one JSON array of the slot numbers instead"}},
         {"Nothing is printed when no program matches; the status is still 0."}},
        {"export-csv",
         "Writes the TV and the radio list as CSV for spreadsheets, one record per program in the window's order.",
         {kFile, {"[-o OUT.csv]", "the file to write, replaced atomically; standard output without it"}},
         {"The columns, in order: kind, number, slot, name, satellite, longitude, frequency, polarisation, "
          "symbol_rate, service_id, video_pid, audio_pid, pcr_pid, pmt_pid, scrambled, lock, skip, favourites. "
          "kind is tv or radio, number the "
          "place in its list (from 1), slot the program's slot; frequency, polarisation and symbol_rate are the "
          "transponder's texts as the window shows them; scrambled, lock and skip are 0 or 1; favourites lists "
          "the groups (1 to 16) in ascending order separated by blanks. RFC 4180: UTF-8 without a byte-order "
          "mark, CRLF line ends, fields quoted only where needed; names exactly as dump gives them."}},
        {"diff",
         "Prints what changed from file A to file B: satellites, transponders, programs and favourite groups "
         "added, removed, changed or moved.",
         {{"A", "the file before"},
          {"B", "the file after"},
          {"[--json]", "print one JSON object: same, then satellites, transponders and programs (each with "
                       "added, removed, changed and, for programs, moved), then favourites; every entry has its "
                       "key fields and name (a program its number in the list), changes a fields object of "
                       "[old, new] pairs"}},
         {"Satellites are paired by longitude and compared by name and LNB settings; transponders by satellite "
          "longitude, frequency and polarisation, and compared by symbol rate and FEC; programs are found as "
          "import-csv finds them, with B's programs as the rows, and compared field by field as dump names the "
          "fields (Transponder names the one it is on). A program is moved when its position among the paired "
          "programs of its kind differs; positions and list numbers are given before and after.",
          "The exit status is 0 whether or not the files differ, 1 when one can not be opened."}},
        {"duplicates",
         "Prints the groups of programs of one kind that share their key (longitude, frequency, polarisation "
         "and service id), or their name on one transponder: one group a line, its slots ascending.",
         {kFile, {"[--json]", "print one JSON array of arrays of slots"}},
         {"A group that is both is listed once; groups are in the order of their first slot, then their second."}},
        {"save",
         "Opens IN and saves it to OUT, as Save does, or as one of the Save as items does with --as.",
         {{"IN", "the data file to open"},
          {"OUT", "the file to write"},
          {"[--as channel|default]", "save as a Channel data file (262,144 bytes) or a Default data file "
                                     "(131,072 bytes)"}},
         {}},
        {"sort",
         "Reorders the TV or the radio programs by name, by favourite group or by transponder.",
         {kFile,
          {"tv|radio", "which programs"},
          {"name|fav|tp", "the order: the name in the collation of the locale in LC_ALL, LC_COLLATE or LANG "
                          "(byte order in the C locale, leading blanks ignored), the favourite groups, or the "
                          "transponders"},
          kOut},
         {"Extra audio tracks follow their programs."}},
        {"swap",
         "Exchanges two satellites, two transponders of one satellite or two programs of one kind, as one "
         "drag step does.",
         {kFile,
          {"sat|tp|prog", "what to exchange"},
          {"A", "the slot of the one"},
          {"B", "the slot of the other"},
          kOut},
         {}},
        {"move",
         "Moves an entry, or a block of entries, of a list the window shows to another position, as the drag "
         "steps from FROM to TO do, with no drag guard.",
         {kFile,
          {"tv|radio|sat|tp", "the list: the TV or the radio programs in use in slot order, the satellites, or "
                              "the transponders of one satellite in slot order"},
          {"[SATSLOT]", "with tp, and only then: the satellite whose transponders are meant"},
          {"FROM", "the position (1 for the first entry) of the entry, or of the block's first entry"},
          {"TO", "the position it takes"},
          {"[--count N]", "move the block of N entries starting at FROM so that it starts at TO"},
          kOut},
         {"Links follow their entries as a swap makes them follow. FROM equal to TO changes nothing and still "
          "writes OUT; a position that names no entry, or a block that does not fit the list at FROM or at TO, "
          "is refused."}},
        {"mark",
         "Toggles one mark of a program, as one click on it does in a marking mode.",
         {kFile,
          {"SLOT", "the program's slot"},
          {"fav:N|lock|skip", "the mark: favourite group N (1 to 16), lock or skip"},
          kOut},
         {}},
        {"set-mark",
         "Sets or clears one mark on every program listed.",
         {kFile,
          {"fav:N|lock|skip", "the mark: favourite group N (1 to 16), lock or skip"},
          {"0|1", "clear (0) or set (1) it"},
          {"SLOT...", "the programs' slots"},
          kOut},
         {}},
        {"fav-lock",
         "Locks or unlocks a favourite group.",
         {kFile, {"GROUP", "the group, 1 to 16"}, {"0|1", "unlock (0) or lock (1)"}, kOut},
         {}},
        {"delete-program", "Deletes a TV or radio program.", {kFile, {"SLOT", "the program's slot"}, kOut}, {}},
        {"delete-programs",
         "Deletes several TV or radio programs, with their extra audio tracks.",
         {kFile, {"SLOT...", "the programs' slots as they stand in FILE, each once"}, kOut},
         {"The result is that of deleting them one at a time from the highest slot down."}},
        {"delete-tp",
         "Deletes a transponder and its programs.",
         {kFile, {"SLOT", "the transponder's slot"}, kOut},
         {"A satellite's last transponder is replaced by the placeholder (4000 MHz, H, 28125 kS/s, FEC Auto)."}},
        {"reset-sat",
         "Gives a satellite the settings of a new one and deletes its transponders and programs.",
         {kFile, {"SLOT", "the satellite's slot"}, kOut},
         {}},
        {"delete-empty-tps",
         "Deletes every transponder without programs, and prints how many went.",
         {kFile, {"[--sat SLOT]", "only the transponders of this satellite"}, kOut},
         {}},
        {"edit-program",
         "Changes a program's fields; the fields not given keep their values.",
         Join(V{kFile, {"SLOT", "the program's slot"}}, ProgramOptions(false), V{kOut}),
         {kEditNote}},
        {"add-program",
         "Adds a TV or radio program to a transponder and prints its slot.",
         Join(V{kFile, {"TPSLOT", "the transponder's slot"}, {"tv|radio", "the kind of program"}}, ProgramOptions(true),
              V{kOut}),
         {kEditNote}},
        {"edit-tp",
         "Changes a transponder's fields; the fields not given keep their values.",
         Join(V{kFile, {"SLOT", "the transponder's slot"}}, TransponderOptions(false), V{kOut}),
         {kEditNote}},
        {"add-tp",
         "Adds a transponder to a satellite and prints its slot.",
         Join(V{kFile, {"SATSLOT", "the satellite's slot"}}, TransponderOptions(true), V{kOut}),
         {kEditNote}},
        {"edit-sat",
         "Changes a satellite's name, LNB and DiSEqC settings; the fields not given keep their values.",
         {kFile,
          {"SLOT", "the satellite's slot"},
          {"[--name T]", "the name, at most 18 characters of ISO 8859-1 given in UTF-8"},
          {"[--type single|universal|onecable]", "the LNB type; a change applies the editor's presets first "
                                                 "(universal without --high gets 10600)"},
          {"[--low N]", "the low LNB frequency in MHz"},
          {"[--high N]", "the high LNB frequency in MHz"},
          {"[--22k off|on|auto]", "the 22 kHz tone"},
          {"[--diseqc10 0-4]", "the DiSEqC 1.0 port, 0 for none"},
          {"[--diseqc11 0-16]", "the DiSEqC 1.1 port, 0 for none"},
          {"[--power off|13/18|13|18]", "the LNB power"},
          {"[--longitude X]", "the orbital position in degrees, such as 19.2"},
          kOut},
         {kEditNote}},
        {"fav-name",
         "Renames a favourite group.",
         {kFile,
          {"GROUP", "the group, 1 to 16"},
          {"NAME", "the new name, at most 15 characters of ISO 8859-1 given in UTF-8"},
          kOut},
         {}},
        {"import-ini",
         "Replaces a satellite's transponders with those of a satellite .ini file.",
         {kFile, {"SATSLOT", "the satellite's slot"}, {"INI", "the .ini file with [SATTYPE] and [DVB] sections"}, kOut},
         {"A file listing more than 150 transponders, or lines whose numbers can not be stored, gives a warning "
          "on stderr; the command still succeeds."}},
        {"import-csv",
         "Puts each kind's programs into the order of a CSV list, the programs it finds first in its order and "
         "the others after them, and gives them the list's lock, skip and favourites.",
         {kFile,
          {"IN.csv", "the list, as export-csv writes it or a spreadsheet saves it (a byte-order mark, CRLF "
                     "or LF line ends and quoted fields are read)"},
          {"[--names]", "give the programs found the list's names too; a name the program editor would refuse "
                        "is refused"},
          kOut},
         {"Only the columns kind, longitude, frequency, polarisation and service_id are required, in any order; "
          "name, lock, skip and favourites are used when present, other columns are ignored. An empty lock or "
          "skip cell leaves that mark; an empty favourites cell means no group.",
          "Each row takes the first program of its kind, in list order, not taken yet with the same longitude, "
          "frequency, polarisation and service id (numbers compared by value, the polarisation in any case); "
          "failing that the first with the same longitude and exactly the row's name. Records move whole, extra "
          "audio tracks follow.",
          "A malformed CSV, a record with more or fewer fields than the header, a kind other than tv or radio, "
          "a lock or skip cell other than 0 or 1 and a favourites cell with anything but group numbers 1 to 16 "
          "are refused with the line the record starts on, and nothing is written. On success stderr says "
          "\"N matched, M rows not found, K programs not in the list\"."}},
        {"apply-reference",
         "Puts FILE into the order, marks and (with --names) names of another data file, as import-csv does "
         "with that file's exported list.",
         {kFile,
          {"REF", "the reference data file: 262,144 bytes as Channel data, any other size as Default data"},
          {"[--names]", "give the programs found the reference's names too"},
          kOut},
         {"On success stderr says \"N matched, M rows not found, K programs not in the list\"."}},
        {"batch",
         "Runs the editing commands of a script on FILE, one step of the edit history per line, and saves once "
         "after the last line.",
         {kFile, {"SCRIPT", "the script's path, or - for standard input (at most 4 MiB)"}, kOut},
         {"Each line is an editing command without FILE and without -o OUT (\"sort tv name\", \"mark 5 fav:2\"), "
          "or undo, or redo. Lines are split into words as a shell splits them, expanding nothing; blank lines "
          "and lines starting with # are skipped.",
          "The run stops at the first refused line (status 1) or malformed line (status 2) and writes nothing; "
          "its message starts with \"line N: \"."}},
        {"read",
         "Reads the receiver's channel data back into a file over the serial line.",
         {{"--port DEV", "the serial device (/dev/ttyUSB0, a pseudo-terminal) or COMn, the n-th serial device "
                         "the system lists"},
          {"--kind channel|default", "read a Channel data (256K) or a Default data (128K) image"},
          {"OUT", "the file to write; it is replaced only when every block arrived with a good sum"}},
         {"Every state goes to stderr, one line per change; the run ends with \"Update Success!\" or \"Update "
          "failed!\". Without a loader answering it gives up after 60 s with \"Connect failed!\"."}},
        {"write",
         "Writes a data file into the receiver over the serial line.",
         {{"--port DEV", "the serial device (/dev/ttyUSB0, a pseudo-terminal) or COMn, the n-th serial device "
                         "the system lists"},
          {"[--verify]", "after a successful write, read the same kind back into memory and compare it with FILE: "
                         "\"Verify OK\", or how many 2,048-byte blocks differ (status 1)"},
          {"FILE", "the data file to send; its size decides its kind, and it is checked as an open checks it "
                   "before anything is sent"}},
         {"Every state goes to stderr, one line per change; the run ends with \"Update Success!\" or \"Update "
          "failed!\"."}},
    };
}

// `text` broken into lines of at most `width` characters where it can be,
// every line after the first indented by `indent` blanks.
std::string Wrap(const std::string& text, size_t indent, size_t width) {
    std::istringstream words(text);
    std::string out, line;
    for (std::string w; words >> w;) {
        if (!line.empty() && indent + line.size() + 1 + w.size() > width) {
            out += line + '\n' + std::string(indent, ' ');
            line.clear();
        }
        line += (line.empty() ? "" : " ") + w;
    }
    return out + line;
}

constexpr size_t kWidth = 100;

} // namespace

const std::vector<CommandHelp>& CommandHelps() {
    static const std::vector<CommandHelp> helps = [] {
        std::vector<CommandHelp> list = BuildHelps();
        // Every command that writes a data file ends with the same option.
        for (CommandHelp& h : list) {
            const auto c = std::find_if(Commands().begin(), Commands().end(),
                                        [&](const Command& command) { return command.name == h.name; });
            if (c != Commands().end() && c->backup)
                h.arguments.push_back(
                    {"[" + std::string(kNoBackup) + "]",
                     "write without a backup; otherwise a file that is replaced is first copied beside itself under "
                     "its whole name plus .bak (channel.bin.bak), replacing an older backup"});
        }
        return list;
    }();
    return helps;
}

const CommandHelp* FindCommandHelp(const std::string& name) {
    const auto& helps = CommandHelps();
    const auto it = std::find_if(helps.begin(), helps.end(), [&](const CommandHelp& h) { return h.name == name; });
    return it == helps.end() ? nullptr : &*it;
}

std::vector<std::string> UsageItems(const std::string& usage) {
    std::vector<std::string> words, items;
    std::istringstream in(usage);
    for (std::string w; in >> w;) words.push_back(w);
    for (size_t i = 1; i < words.size(); ++i) {
        std::string item = words[i];
        if (item.front() == '[') {
            while (item.back() != ']' && i + 1 < words.size()) item += ' ' + words[++i];
        } else if (item.front() == '-' && i + 1 < words.size() && words[i + 1].front() != '-' &&
                   words[i + 1].front() != '[') {
            item += ' ' + words[++i];
        }
        items.push_back(item);
    }
    return items;
}

const std::vector<std::pair<int, std::string>>& ExitStatuses() {
    static const std::vector<std::pair<int, std::string>> statuses = {
        {0, "success"},
        {1, "a refusal or failure (the message is on stderr)"},
        {2, "a malformed command line"},
    };
    return statuses;
}

void PrintUsage(std::ostream& out) {
    out << "usage: orbitlist-cli COMMAND ...\n";
    for (const Command& c : Commands()) out << "  orbitlist-cli " << c.usage << '\n';
    out << "  orbitlist-cli help [COMMAND]\n"
           "  orbitlist-cli --version\n"
           "\n"
           "'orbitlist-cli help COMMAND' or 'orbitlist-cli COMMAND --help' describes a command.\n"
           "Exit status:";
    for (const auto& [status, meaning] : ExitStatuses()) out << (status ? ";" : "") << ' ' << status << ' ' << meaning;
    out << ".\n";
}

void PrintCommandHelp(const Command& c, std::ostream& out) {
    out << "usage: orbitlist-cli " << c.usage << '\n';
    const CommandHelp* h = FindCommandHelp(c.name);
    if (!h) return;
    out << '\n' << Wrap(h->summary, 0, kWidth) << '\n';
    size_t width = 0;
    for (const ArgumentHelp& a : h->arguments) width = std::max(width, a.item.size());
    if (!h->arguments.empty()) out << '\n';
    for (const ArgumentHelp& a : h->arguments)
        out << "  " << a.item << std::string(width - a.item.size() + 2, ' ') << Wrap(a.text, width + 4, kWidth) << '\n';
    for (const std::string& note : h->notes) out << '\n' << Wrap(note, 0, kWidth) << '\n';
}

void PrintVersion(std::ostream& out) { out << "orbitlist-cli " << orbitlist::kVersion << '\n'; }

} // namespace cli
