#include "settings/RecentFiles.h"

#include "base/Files.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace dbase {

namespace {

struct Line {
    std::string_view body; // without its line ending
    std::string_view end;  // "\n", "\r\n" or "" for a last line without one
};

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t nl = text.find('\n', pos);
        if (nl == std::string_view::npos) {
            lines.push_back({text.substr(pos), {}});
            break;
        }
        size_t bodyEnd = nl;
        if (bodyEnd > pos && text[bodyEnd - 1] == '\r') --bodyEnd;
        lines.push_back({text.substr(pos, bodyEnd - pos), text.substr(bodyEnd, nl + 1 - bodyEnd)});
        pos = nl + 1;
    }
    return lines;
}

std::string_view Trim(std::string_view s) {
    constexpr std::string_view blanks = " \t\r";
    const size_t b = s.find_first_not_of(blanks);
    if (b == std::string_view::npos) return {};
    const size_t e = s.find_last_not_of(blanks);
    return s.substr(b, e - b + 1);
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

// The section named by a header line, or nothing when the line is no header.
std::optional<std::string_view> SectionName(std::string_view body) {
    body = Trim(body);
    if (body.empty() || body.front() != '[') return std::nullopt;
    body.remove_prefix(1);
    const size_t close = body.find(']');
    return Trim(close == std::string_view::npos ? body : body.substr(0, close));
}

// The key of an entry line, or nothing for blank lines, comments and headers.
std::optional<std::string_view> KeyName(std::string_view body) {
    const std::string_view t = Trim(body);
    if (t.empty() || t.front() == ';' || t.front() == '[') return std::nullopt;
    const size_t eq = t.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return Trim(t.substr(0, eq));
}

std::string_view StripBom(std::string_view text) {
    if (text.size() >= 3 && static_cast<unsigned char>(text[0]) == 0xEF &&
        static_cast<unsigned char>(text[1]) == 0xBB && static_cast<unsigned char>(text[2]) == 0xBF)
        text.remove_prefix(3);
    return text;
}

// The text of the settings file; a missing file is an empty text.
Status ReadText(const std::string& path, std::string& text) {
    text.clear();
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 && errno == ENOENT) return Status::Ok();
    std::vector<uint8_t> bytes;
    const std::string tooLarge =
        "The settings file " + path + " is larger than 1 MiB,\r\rIt is neither read nor written.";
    if (Status s = ReadFileLimited(path, kMaxSettingsFileBytes, tooLarge, bytes); !s) return s;
    text.assign(bytes.begin(), bytes.end());
    return Status::Ok();
}

std::string ReadText(const std::string& path) {
    std::string text;
    // A file that can not be read reads as empty.
    (void)ReadText(path, text);
    return text;
}

Status WriteText(const std::string& path, const std::string& text) {
    return WriteFileAtomic(path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

std::string ValueIn(std::string_view text, std::string_view section, std::string_view key) {
    bool inSection = false;
    for (const Line& line : SplitLines(StripBom(text))) {
        if (auto name = SectionName(line.body)) {
            inSection = SameName(*name, section);
            continue;
        }
        if (!inSection) continue;
        auto k = KeyName(line.body);
        if (!k || !SameName(*k, key)) continue;
        const std::string_view t = Trim(line.body);
        std::string_view value = Trim(t.substr(t.find('=') + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        return std::string(value);
    }
    return {};
}

} // namespace

std::string ReadProfileString(const std::string& path, std::string_view section, std::string_view key) {
    return ValueIn(ReadText(path), section, key);
}

std::string SetProfileString(std::string_view text, std::string_view section, std::string_view key,
                             std::string_view value) {
    const std::vector<Line> lines = SplitLines(text);
    const std::string nl = text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
    const std::string entry = std::string(key) + "=" + std::string(value);

    // Locate the first section of that name, the key in it and the place for a new key.
    int header = -1, keyLine = -1, lastEntry = -1;
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        std::string_view body = lines[i].body;
        if (i == 0) body = StripBom(body);
        if (auto name = SectionName(body)) {
            if (header >= 0) break;
            if (SameName(*name, section)) header = lastEntry = i;
            continue;
        }
        if (header < 0) continue;
        if (!Trim(body).empty()) lastEntry = i;
        if (auto k = KeyName(body); k && SameName(*k, key)) {
            keyLine = i;
            break;
        }
    }

    std::string out;
    out.reserve(text.size() + entry.size() + section.size() + 8);
    auto append = [&](const Line& l) {
        out.append(l.body);
        out.append(l.end);
    };
    if (header < 0) {
        out.assign(text);
        if (!out.empty() && out.back() != '\n') out += nl;
        out += "[" + std::string(section) + "]" + nl + entry + nl;
        return out;
    }
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        if (i == keyLine) {
            if (i == 0) out.append(lines[0].body.substr(0, lines[0].body.size() - StripBom(lines[0].body).size()));
            out += entry;
            out.append(lines[i].end);
            continue;
        }
        append(lines[i]);
        if (keyLine < 0 && i == lastEntry) {
            if (lines[i].end.empty()) out += nl;
            out += entry + nl;
        }
    }
    return out;
}

Status WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                          std::string_view value) {
    std::string text;
    if (Status s = ReadText(path, text); !s) return s;
    return WriteText(path, SetProfileString(text, section, key, value));
}

Status ReadRecentFiles(const std::string& path, RecentFileList& files) {
    files = {};
    std::string text;
    if (Status s = ReadText(path, text); !s) return s;
    for (size_t i = 0; i < files.size(); ++i) files[i] = ValueIn(text, kRecentSection, kRecentKeys[i]);
    return Status::Ok();
}

RecentFileList ReadRecentFiles(const std::string& path) {
    RecentFileList files;
    // A list that can not be read is an empty list.
    (void)ReadRecentFiles(path, files);
    return files;
}

Status WriteRecentFiles(const std::string& path, const RecentFileList& files) {
    std::string text;
    if (Status s = ReadText(path, text); !s) return s;
    for (size_t i = 0; i < files.size(); ++i) text = SetProfileString(text, kRecentSection, kRecentKeys[i], files[i]);
    return WriteText(path, text);
}

Status TrySettingsWrite(const std::string& path) {
    std::string target;
    if (Status s = ResolveDestination(path, target); !s) return s;
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) {
        // Nothing there yet: make it and take it away again.
        if (Status s = WriteText(target, {}); !s) return s;
        ::unlink(target.c_str());
        return Status::Ok();
    }
    std::string text;
    if (Status s = ReadText(target, text); !s) return s;
    return WriteText(target, text);
}

ProgramPlace PlaceOfProgram(const std::string& exeDir, const std::string& installBinDir) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path exe = fs::weakly_canonical(exeDir, ec);
    if (ec || exe.empty()) return ProgramPlace::Elsewhere;
    if (!installBinDir.empty()) {
        const fs::path bin = fs::weakly_canonical(installBinDir, ec);
        if (!ec && bin == exe) return ProgramPlace::Installed;
    }
    // An installation in another prefix than the one built for (a staged or
    // moved one) has the program's shared files beside its "bin" folder.
    if (exe.filename() == "bin" && fs::is_directory(exe.parent_path() / "share" / "orbitlist", ec))
        return ProgramPlace::Installed;
    if (fs::exists(exe / "CMakeCache.txt", ec) || fs::exists(exe.parent_path() / "CMakeCache.txt", ec))
        return ProgramPlace::BuildFolder;
    return ProgramPlace::Elsewhere;
}

std::string ChooseSettingsFile(const std::string& exeDir, const std::string& configDir, Status* why,
                               const std::string& installBinDir) {
    std::string besideExe = (std::filesystem::path(exeDir) / kSettingsFileName).string();
    Status tried;
    switch (PlaceOfProgram(exeDir, installBinDir)) {
    case ProgramPlace::Installed:
        tried = Status::Error(StatusCode::Refused,
                              "An installed program keeps its settings in the user's configuration folder.");
        break;
    case ProgramPlace::BuildFolder: tried = TrySettingsWrite(besideExe); break;
    case ProgramPlace::Elsewhere: {
        struct stat st {};
        tried = ::lstat(besideExe.c_str(), &st) == 0
                    ? TrySettingsWrite(besideExe)
                    : Status::Error(StatusCode::NotFound,
                                    "No settings file is beside the program, which is not in a build folder.");
        break;
    }
    }
    if (why) *why = tried;
    if (tried) return besideExe;
    const std::filesystem::path dir = std::filesystem::path(configDir) / "orbitlist";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    return (dir / kSettingsFileName).string();
}

bool RecentAfterOpen(const RecentFileList& current, const std::string& opened, RecentFileList& updated) {
    if (std::find(current.begin(), current.end(), opened) != current.end()) return false;
    updated = {opened, current[0], current[1]};
    return true;
}

bool RecentAfterRemoval(const RecentFileList& current, const std::string& missing, RecentFileList& updated) {
    // Each entry is tested against the list as it was read, and a later match
    // decides, so a name listed twice ends up as the list without the last copy.
    bool found = false;
    for (size_t i = 0; i < current.size(); ++i) {
        if (current[i] != missing) continue;
        RecentFileList next;
        size_t n = 0;
        for (size_t j = 0; j < current.size(); ++j)
            if (j != i) next[n++] = current[j];
        updated = next;
        found = true;
    }
    return found;
}

} // namespace dbase
