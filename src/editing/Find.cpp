#include "editing/Find.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace dbase {

namespace {

// Simple case folding of the ISO 8859-1 range, one byte to one byte. The
// micro sign folds to the Greek small letter mu, which lies outside the
// range; 0xB5 stands for it.
constexpr std::array<unsigned char, 256> MakeFoldTable() {
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c) {
        const bool upper = (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
        t[static_cast<size_t>(c)] = static_cast<unsigned char>(upper ? c + 0x20 : c);
    }
    return t;
}
constexpr std::array<unsigned char, 256> kFold = MakeFoldTable();

// The folded byte of code point `c`, or -1 when it folds to nothing an ISO
// 8859-1 name can hold. Beyond the range only these fold into it.
int FoldCodePoint(char32_t c) {
    if (c < 0x100) return kFold[c];
    switch (c) {
    case 0x0178: return 0xFF; // Y with diaeresis
    case 0x017F: return 's';  // long s
    case 0x039C:              // Greek capital mu
    case 0x03BC: return 0xB5; // Greek small mu, which the micro sign folds to
    case 0x1E9E: return 0xDF; // capital sharp s
    case 0x212A: return 'k';  // Kelvin sign
    case 0x212B: return 0xE5; // Angstrom sign
    default: return -1;
    }
}

// Decodes one UTF-8 character at `i`; false for a malformed sequence.
bool NextCodePoint(std::string_view s, size_t& i, char32_t& c) {
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = b(i);
    int extra = 0;
    char32_t min = 0;
    if (lead < 0x80) {
        c = lead;
        ++i;
        return true;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1, c = lead & 0x1F, min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2, c = lead & 0x0F, min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3, c = lead & 0x07, min = 0x10000;
    } else {
        return false;
    }
    if (i + static_cast<size_t>(extra) >= s.size()) return false;
    for (int k = 1; k <= extra; ++k) {
        const unsigned char cont = b(i + static_cast<size_t>(k));
        if ((cont & 0xC0) != 0x80) return false;
        c = (c << 6) | (cont & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    i += static_cast<size_t>(extra) + 1;
    return true;
}

int DecimalText(const std::string& text) {
    int v = -1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    return ec == std::errc() && end == text.data() + text.size() ? v : -1;
}

// For each program slot: whether one of its extra audio tracks has PID `pid`.
std::vector<bool> TrackHits(const Database& db, int pid) {
    std::vector<bool> hits(kProgSlots, false);
    const int n = std::min<int>(db.AudioCount, kAudioSlots);
    for (int a = 0; a < n; ++a) {
        const AudioData& d = db.Audio.data[a];
        if (d.ProgIndex < static_cast<uint32_t>(kProgSlots) && DecimalText(d.Pid) == pid) hits[d.ProgIndex] = true;
    }
    return hits;
}

} // namespace

bool ProgFilter::Empty() const { return *this == ProgFilter{}; }

std::string FoldLatin1(std::string_view latin1) {
    std::string out(latin1.size(), '\0');
    std::transform(latin1.begin(), latin1.end(), out.begin(),
                   [](char c) { return static_cast<char>(kFold[static_cast<unsigned char>(c)]); });
    return out;
}

std::optional<std::string> FoldUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        if (!NextCodePoint(utf8, i, c)) return std::nullopt;
        const int folded = FoldCodePoint(c);
        if (folded < 0) return std::nullopt;
        out.push_back(static_cast<char>(folded));
    }
    return out;
}

Status CheckFilterText(std::string_view utf8) {
    for (size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        if (!NextCodePoint(utf8, i, c)) return Status::Error(StatusCode::Invalid, "The text to find is not UTF-8!");
    }
    return Status::Ok();
}

std::optional<int> TextNumber(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return std::nullopt;
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (text.size() > 5 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    int v = 0;
    for (char c : text) v = v * 10 + (c - '0');
    return v <= 65535 ? std::optional<int>(v) : std::nullopt;
}

ProgMatcher::ProgMatcher(const Database& db, const ProgFilter& filter) : db_(db), filter_(filter) {
    anyName_ = filter.text.empty();
    if (!anyName_) {
        needle_ = FoldUtf8(filter.text);
        textNumber_ = TextNumber(filter.text);
        if (textNumber_) textTrackHits_ = TrackHits(db, *textNumber_);
    }
    if (filter.pid) pidTrackHits_ = TrackHits(db, *filter.pid);
}

bool ProgMatcher::NameMatches(const std::string& name) const {
    if (!needle_) return false;
    const std::string& n = *needle_;
    if (n.size() > name.size()) return false;
    for (size_t at = 0; at + n.size() <= name.size(); ++at) {
        size_t k = 0;
        while (k < n.size() && kFold[static_cast<unsigned char>(name[at + k])] == static_cast<unsigned char>(n[k])) ++k;
        if (k == n.size()) return true;
    }
    return false;
}

bool ProgMatcher::NumberMatches(int slot, int number, const std::vector<bool>& trackHits) const {
    const ProgData& d = db_.Prog.data[slot];
    for (const std::string* t : {&d.VidPid, &d.AudPid, &d.PcrPid, &d.PmtPid})
        if (DecimalText(*t) == number) return true;
    return trackHits[static_cast<size_t>(slot)];
}

bool ProgMatcher::Matches(int slot) const {
    if (slot < 0 || slot >= kProgSlots) return false;
    const ProgData& d = db_.Prog.data[slot];
    const ProgFilter& f = filter_;
    if (f.radio && (d.IsRadio != 0) != *f.radio) return false;
    if (f.scrambled && (d.IsFree != 1) != *f.scrambled) return false;
    if (f.locked && (d.Lock != 0) != *f.locked) return false;
    if (f.skipped && (d.Skip != 0) != *f.skipped) return false;
    if (f.favGroup >= 0 && !db_.InFavGroup(slot, f.favGroup)) return false;
    if (f.sat >= 0 && d.SatIndex != f.sat) return false;
    if (f.tp >= 0 && d.TpIndex != static_cast<uint32_t>(f.tp)) return false;
    if (f.serviceId && DecimalText(d.ServiceId) != *f.serviceId) return false;
    if (f.pid && !NumberMatches(slot, *f.pid, pidTrackHits_)) return false;
    if (anyName_ || NameMatches(d.Name)) return true;
    return textNumber_ &&
           (DecimalText(d.ServiceId) == *textNumber_ || NumberMatches(slot, *textNumber_, textTrackHits_));
}

std::vector<int> ProgMatcher::Select(std::span<const int> slots) const {
    std::vector<int> kept;
    for (int s : slots)
        if (Matches(s)) kept.push_back(s);
    return kept;
}

std::vector<int> FindPrograms(const Database& db, const ProgFilter& filter) {
    const ProgMatcher matcher(db, filter);
    std::vector<int> found;
    const int n = std::min<int>(db.ProgCount, kProgSlots);
    for (int p = 0; p < n; ++p)
        if (db.Prog.data[p].Used == 1 && matcher.Matches(p)) found.push_back(p);
    return found;
}

} // namespace dbase
