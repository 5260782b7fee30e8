#include "Batch.h"

#include "Commands.h"
#include "Common.h"
#include "EditSupport.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

namespace cli {

std::optional<std::vector<std::string>> SplitWords(std::string_view line, std::string& error) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    size_t i = 0;
    const size_t n = line.size();
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (i < n) {
        const char c = line[i];
        if (blank(c)) {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
            ++i;
        } else if (c == '#' && !inWord) {
            break;
        } else if (c == '\\') {
            if (i + 1 >= n) {
                error = "the line ends with a backslash";
                return std::nullopt;
            }
            word.push_back(line[i + 1]);
            inWord = true;
            i += 2;
        } else if (c == '\'') {
            const size_t close = line.find('\'', i + 1);
            if (close == std::string_view::npos) {
                error = "a single quote is not closed";
                return std::nullopt;
            }
            word.append(line.substr(i + 1, close - i - 1));
            inWord = true;
            i = close + 1;
        } else if (c == '"') {
            ++i;
            for (;;) {
                if (i >= n) {
                    error = "a double quote is not closed";
                    return std::nullopt;
                }
                const char d = line[i];
                if (d == '"') break;
                if (d == '\\' && i + 1 < n && std::strchr("$`\"\\", line[i + 1])) {
                    word.push_back(line[i + 1]);
                    i += 2;
                } else {
                    word.push_back(d);
                    ++i;
                }
            }
            inWord = true;
            ++i;
        } else {
            word.push_back(c);
            inWord = true;
            ++i;
        }
    }
    if (inWord) words.push_back(std::move(word));
    return words;
}

namespace {

// One line's failure: its exit status and message.
int LineFails(std::ostream& err, size_t line, int code, const std::string& message) {
    err << "line " << line << ": ";
    Fail(err, message);
    return code;
}

// Runs one command line; returns its exit status.
int RunLine(dbase::Document& doc, size_t line, const std::vector<std::string>& words, std::ostream& err) {
    const std::string& name = words[0];
    if (name == "undo" || name == "redo") {
        if (words.size() > 1) return LineFails(err, line, 2, name + " takes no arguments");
        const bool undo = name == "undo";
        if (!(undo ? doc.Undo() : doc.Redo()))
            return LineFails(err, line, 1, undo ? "There is nothing to undo." : "There is nothing to redo.");
        return 0;
    }
    const EditCommand* c = FindEditCommand(name);
    if (!c) return LineFails(err, line, 2, "unknown command " + name);
    Args args;
    args.reserve(words.size());
    args.push_back("FILE");
    for (size_t i = 1; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (w == "-o" || w.rfind("-o=", 0) == 0)
            return LineFails(err, line, 2, name + ": a script line names no output (-o); batch writes OUT once");
        args.push_back(w);
    }
    EditReport report;
    try {
        const ParsedArgs p = ParseEditArgs(*c, args, false);
        if (dbase::Status s = ApplyEdit(*c, p, doc, report); !s) return LineFails(err, line, 1, s.message());
    } catch (const UsageError& e) {
        // The usage as a script line writes it: without FILE and -o OUT.
        std::string usage = c->usage;
        if (const auto f = usage.find(" FILE"); f != std::string::npos) usage.erase(f, 5);
        if (const auto o = usage.rfind(" -o OUT"); o != std::string::npos) usage.erase(o, 7);
        return LineFails(err, line, 2, name + ": " + e.what() + "\rusage: " + usage);
    }
    for (const std::string& w : report.warnings) LineFails(err, line, 0, w);
    return 0;
}

// Reads the script at `path` ("-" for standard input), at most
// kMaxScriptBytes; a pipe is read as it comes.
dbase::Status ReadScript(const std::string& path, std::string& text) {
    const bool stdinScript = path == "-";
    const int fd = stdinScript ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    using dbase::StatusCode;
    const auto refusal = [&](StatusCode code, const std::string& why) {
        return dbase::Status::Error(code, "The script " + path + " can not be read: " + why + ".");
    };
    if (fd < 0)
        return refusal(errno == ENOENT || errno == ENOTDIR ? StatusCode::NotFound : StatusCode::Io,
                       std::strerror(errno));
    auto fail = [&](const std::string& why, StatusCode code = StatusCode::Io) {
        if (!stdinScript) ::close(fd);
        return refusal(code, why);
    };
    struct stat st {};
    if (::fstat(fd, &st) != 0) return fail(std::strerror(errno));
    if (S_ISDIR(st.st_mode)) return fail("it is a folder", StatusCode::Refused);
    const std::string tooLarge = "it is larger than 4 MiB";
    if (S_ISREG(st.st_mode) && static_cast<uint64_t>(st.st_size) > kMaxScriptBytes)
        return fail(tooLarge, StatusCode::TooLarge);
    if (!stdinScript) {
        // Opened without blocking so that a pipe with no writer can not hang the
        // open; the reads below wait for the data as usual.
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags >= 0) (void)::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    text.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return fail(std::strerror(errno));
        if (got == 0) break;
        if (text.size() + static_cast<size_t>(got) > kMaxScriptBytes) return fail(tooLarge, StatusCode::TooLarge);
        text.append(buffer, static_cast<size_t>(got));
    }
    if (!stdinScript) ::close(fd);
    return dbase::Status::Ok();
}

} // namespace

int RunScript(dbase::Document& doc, std::string_view script, std::ostream& err) {
    size_t line = 0;
    size_t pos = 0;
    while (pos < script.size()) {
        ++line;
        size_t end = script.find('\n', pos);
        if (end == std::string_view::npos) end = script.size();
        std::string_view text = script.substr(pos, end - pos);
        pos = end + 1;
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        const size_t first = text.find_first_not_of(" \t");
        if (first == std::string_view::npos || text[first] == '#') continue;
        std::string error;
        const auto words = SplitWords(text, error);
        if (!words) return LineFails(err, line, 2, error);
        if (words->empty()) continue;
        if (const int code = RunLine(doc, line, *words, err); code != 0) return code;
    }
    return 0;
}

int CmdBatch(const Args& args, std::ostream&, std::ostream& err) {
    const ParsedArgs p = ParseArgs(args, {"-o"}, {kNoBackup}, 2, 2);
    const std::string* dest = p.get("-o");
    if (!dest) throw UsageError("-o OUT is required");
    if (dest->empty()) throw UsageError("-o needs a file name");
    std::string script;
    if (dbase::Status s = ReadScript(p.positional[1], script); !s) return Fail(err, s);
    dbase::Document doc;
    if (dbase::Status s = OpenInputFor(p.positional[0], *dest, doc); !s) return Fail(err, s);
    doc.SetBackups(!p.has(kNoBackup));
    if (const int code = RunScript(doc, script, err); code != 0) return code;
    if (dbase::Status s = SaveOutput(doc, *dest, err); !s) return Fail(err, s);
    return 0;
}

} // namespace cli
