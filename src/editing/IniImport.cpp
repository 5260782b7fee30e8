#include "editing/IniImport.h"

#include "base/Bits.h"
#include "base/Files.h"
#include "base/Messages.h"
#include "editing/EditorFields.h"
#include "editing/Entries.h"
#include "format/Image.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace dbase {

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

// A position value: a whole number of tenths of a degree, written with digits
// and at most a fraction of zeros ("0192", "3300.0").
std::optional<int> PositionTenths(std::string_view value) {
    const size_t dot = value.find('.');
    const std::string_view whole = value.substr(0, dot);
    if (dot != std::string_view::npos) {
        const std::string_view frac = value.substr(dot + 1);
        if (frac.find_first_not_of('0') != std::string_view::npos) return std::nullopt;
    }
    const auto v = DigitsValue(whole, kMaxLongitudeTenths);
    if (!v) return std::nullopt;
    return static_cast<int>(*v);
}

std::string PositionRefusal(int line, const std::string& value) {
    return "Line " + std::to_string(line) + " holds the orbital position \"" + value +
           "\", which is not a whole number of tenths of a degree from 0 to 3600,\r\r"
           "The file can not be imported!";
}

} // namespace

std::string TrimText(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && IsBlank(text[b])) ++b;
    while (e > b && IsBlank(text[e - 1])) --e;
    return std::string(text.substr(b, e - b));
}

std::string GetField(std::string_view line, char separator, int n) {
    if (n < 1) return {};
    const std::string trimmed = TrimText(line);
    std::string_view rest = trimmed;
    for (int i = 1;; ++i) {
        const size_t sep = rest.find(separator);
        if (i == n) return std::string(rest.substr(0, sep));
        if (sep == std::string_view::npos) return {};
        rest.remove_prefix(sep + 1);
    }
}

bool HasIniExtension(std::string_view path) {
    const size_t slash = path.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return false;
    const std::string_view ext = name.substr(dot);
    return ext == ".ini" || ext == ".INI" || ext == ".Ini";
}

Status CheckIniExtension(std::string_view path) {
    return HasIniExtension(path) ? Status::Ok() : Status::Error(StatusCode::Invalid, msg::IniWrongFile);
}

IniFile ParseIniText(std::string_view text) {
    IniFile f;
    const std::vector<std::string_view> lines = SplitLines(text);
    int sattype = 0, dvb = 0;
    bool sattypeSeen = false, dvbSeen = false, inUpdate = false;
    std::string badPosition;
    int badPositionLine = 0;

    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        const std::string line = TrimText(lines[static_cast<size_t>(i)]);
        const std::string key = GetField(line, '=', 1);
        const std::string value = TrimText(GetField(line, '=', 2));
        if (SameText(key, "[UPDATE]")) {
            // Files of today open with an [UPDATE] section; only one that
            // follows the transponder list ends it.
            if (dvbSeen) break;
            inUpdate = true;
            continue;
        }
        if (SameText(key, "[SATTYPE]")) {
            sattype = i;
            sattypeSeen = true;
            inUpdate = false;
            continue;
        }
        if (SameText(key, "[DVB]")) {
            dvb = i;
            dvbSeen = true;
            inUpdate = false;
            continue;
        }
        if (key.size() >= 2 && key.front() == '[' && key.back() == ']') {
            inUpdate = false;
            continue;
        }
        if (inUpdate || value.empty()) continue;

        // Without a [SATTYPE] line its place is line 0, which is taken only
        // before the transponder list begins.
        const bool satLines = sattypeSeen || !dvbSeen;
        if (satLines && i == sattype + 1) {
            if (const auto tenths = PositionTenths(value)) {
                f.satTenths = *tenths;
                badPosition.clear();
            } else {
                badPosition = value;
                badPositionLine = i + 1;
            }
        } else if (satLines && i == sattype + 2) {
            // Cut as it stands: a blank at the cut stays part of the name.
            f.satName = TrimText(GetField(value, ',', 1)).substr(0, kMaxImportName);
        } else if (dvbSeen && i == dvb + 1) {
            // The count of transponders; the lines themselves are counted.
        } else if (dvbSeen && dvb > 2 && i > dvb + 1) {
            if (static_cast<int>(f.tps.size()) >= kMaxImportTps) {
                f.truncated = true;
                break;
            }
            IniTransponder tp;
            tp.line = i + 1;
            tp.freq = TrimText(GetField(value, ',', 1));
            tp.pol = TrimText(GetField(value, ',', 2));
            tp.sym = TrimText(GetField(value, ',', 3));
            tp.fec = TrimText(GetField(value, ',', 4));
            tp.system = TrimText(GetField(value, ',', 5));
            tp.modulation = TrimText(GetField(value, ',', 6));
            const auto freq = DigitsValue(tp.freq, 0x3FFF);
            const auto sym = DigitsValue(tp.sym, 0xFFFF);
            if (!freq || !sym) {
                if (f.skippedLines.size() < kMaxQuotedLines) f.skippedLines.push_back({tp.line, line});
                ++f.skippedCount;
                continue;
            }
            tp.freqValue = static_cast<uint16_t>(*freq);
            tp.symValue = static_cast<uint16_t>(*sym);
            if (tp.pol == "L" || tp.pol == "l") tp.pol = "H";
            if (tp.pol == "R" || tp.pol == "r") tp.pol = "V";
            f.tps.push_back(std::move(tp));
        }
    }

    f.satPos = DecText(static_cast<unsigned>(f.satTenths));
    if (!sattypeSeen && !dvbSeen)
        f.status = Status::Error(StatusCode::Invalid, msg::IniNoSections);
    else if (!badPosition.empty())
        f.status = Status::Error(StatusCode::Invalid, PositionRefusal(badPositionLine, badPosition));
    return f;
}

Status ParseIniFile(const std::string& path, IniFile& out) {
    std::vector<uint8_t> bytes;
    const std::string tooLarge = "The file " + path +
                                 " is larger than 4 MiB, more than any satellite .ini file holds,\r\r"
                                 "It can not be imported!";
    if (Status s = ReadFileLimited(path, kMaxIniFileBytes, tooLarge, bytes); !s) return s;
    out = ParseIniText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    return Status::Ok();
}

namespace {

// A line as a notice quotes it: at most 40 characters (a box line), control characters shown as "?".
std::string QuotedLine(const std::string& text) {
    constexpr size_t kMax = 40;
    std::string q = text.substr(0, kMax);
    for (char& c : q)
        if (static_cast<unsigned char>(c) < ' ') c = '?';
    return "\"" + q + (text.size() > kMax ? "...\"" : "\"");
}

} // namespace

std::string SkippedLinesWarning(const IniFile& file) {
    const int n = file.skippedCount;
    if (n == 0) return {};
    std::string s = n == 1 ? "This transponder line can not be stored and was left out:"
                           : std::to_string(n) + " transponder lines can not be stored and were left out" +
                                 (static_cast<size_t>(n) > file.skippedLines.size()
                                      ? "; the first " + std::to_string(file.skippedLines.size()) + " are:"
                                      : ":");
    for (const SkippedLine& l : file.skippedLines) s += "\rline " + std::to_string(l.line) + ": " + QuotedLine(l.text);
    return s;
}

Status ImportIni(Database& db, int sat, const IniFile& file) {
    if (Status s = CheckSatSlot(db, sat); !s) return s;
    if (!file.status) return file.status;

    int inUse = 0;
    for (int t = 0; t < kTpSlots; ++t)
        if (db.Tp.data[t].Used == 1) ++inUse;
    const int imported = static_cast<int>(file.tps.size());
    // A file without transponders still leaves the satellite its placeholder.
    if (inUse - CountSatTransponders(db, sat) + std::max(imported, 1) > kTpSlots)
        return Status::Error(StatusCode::Full, msg::IniTpExceed);

    ClearSatTransponders(db, sat);

    SatRec& rec = db.Sat.rec[sat];
    WriteDefaultLnb(rec);
    WriteSatName(rec, file.satName);
    // One NUL ends the name, also one of the full 18 characters.
    if (file.satName.size() >= satrec::Name::size) satrec::NameEnd::Set(rec, 0);
    satrec::Position::Set(rec, static_cast<unsigned>(file.satTenths));
    db.Sat.data[sat] = DecodeSat(rec);
    // The decoded name keeps the blanks of the cut; the reader trims them next time.
    if (const std::string cut = file.satName.substr(0, kMaxImportName); TrimRight(cut) == db.Sat.data[sat].Name)
        db.Sat.data[sat].Name = cut;
    if (imported == 0) return Status::Ok();

    for (int t = 0; t < kTpSlots; ++t) {
        if (db.Tp.data[t].Used != 1 || db.Tp.data[t].SatIndex != sat) continue;
        db.Tp.rec[t] = EmptyTpRec();
        db.Tp.data[t] = EmptyTpData();
        if (db.TpCount > 0) --db.TpCount;
    }

    for (int k = 0; k < imported; ++k) {
        const IniTransponder& tp = file.tps[static_cast<size_t>(k)];
        const int slot = FirstFreeTpSlot(db);
        const unsigned pol = tp.pol == "H" ? 0 : 1;
        const TpRec& r = db.Tp.rec[slot] = NewTpRec(sat, k + 1, tp.freqValue, tp.symValue, pol, 0);
        TpData& d = db.Tp.data[slot];
        d = DecodeTp(r);
        d.PolText = tp.pol;
    }
    db.TpCount = static_cast<uint16_t>(db.TpCount + imported);
    db.SatTpCounts[sat] = static_cast<uint8_t>(imported);
    return Status::Ok();
}

} // namespace dbase
