#include "base/Bits.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace dbase {

std::string IntToBase(long long value, int width, int base, char fill) {
    if (base < 2 || base > 36) return {};
    static constexpr char digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    unsigned long long v =
        value < 0 ? 0ull - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    std::string out;
    do {
        out.insert(out.begin(), digits[v % static_cast<unsigned>(base)]);
        v /= static_cast<unsigned>(base);
    } while (v != 0);
    if (static_cast<int>(out.size()) < width) out.insert(0, static_cast<size_t>(width) - out.size(), fill);
    return out;
}

long long BaseToInt(std::string_view text, int base, long long max) {
    if (base < 2 || base > 36) return 0;
    long long result = 0;
    for (char ch : text) {
        const int c = std::toupper(static_cast<unsigned char>(ch));
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'Z')
            digit = c - 'A' + 10;
        else
            break;
        if (digit >= base) break;
        const long long q = max / base, r = max % base;
        if (!(result < q || (result == q && digit <= r))) break;
        result = result * base + digit;
    }
    return result;
}

unsigned CappedField(unsigned value, int width, unsigned max) {
    if (value <= max) return value; // the whole field is the longest run within the cap
    unsigned result = 0;
    for (int bit = width - 1; bit >= 0; --bit) {
        const unsigned next = result * 2 + ((value >> bit) & 1u);
        if (next > max) break;
        result = next;
    }
    return result;
}

std::string DecText(unsigned long long v) { return std::to_string(v); }

std::string TenthsText(long long tenths) {
    const bool neg = tenths < 0;
    const unsigned long long a =
        neg ? 0ull - static_cast<unsigned long long>(tenths) : static_cast<unsigned long long>(tenths);
    std::string s = (neg ? "-" : "") + std::to_string(a / 10);
    if (a % 10 != 0) s += "." + std::to_string(a % 10);
    return s;
}

std::string FieldText(std::span<const uint8_t> field) {
    std::string s;
    for (uint8_t b : field) {
        if (b == 0) break;
        s.push_back(static_cast<char>(b));
    }
    return s;
}

std::string ByteListText(std::span<const uint8_t> bytes) {
    std::string s = "[";
    for (size_t k = 0; k < bytes.size(); ++k) s += (k ? "," : "") + std::to_string(bytes[k]);
    return s + "]";
}

std::string TrimRight(std::string_view text) {
    size_t n = text.size();
    while (n > 0 && text[n - 1] == ' ') --n;
    return std::string(text.substr(0, n));
}

std::string FiveWide(std::string_view text) {
    return text.size() >= 5 ? std::string(text) : std::string(5 - text.size(), '0') + std::string(text);
}

std::string NumberKey(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    const size_t dot = text.find('.');
    std::string_view whole = text.substr(0, dot);
    std::string_view frac = dot == std::string_view::npos ? std::string_view{} : text.substr(dot + 1);
    const auto digits = [](std::string_view s) { return s.find_first_not_of("0123456789") == std::string_view::npos; };
    if ((whole.empty() && frac.empty()) || !digits(whole) || !digits(frac)) return std::string(text);
    whole.remove_prefix(std::min(whole.find_first_not_of('0'), whole.size()));
    frac = frac.substr(0, frac.find_last_not_of('0') + 1);
    std::string key = whole.empty() ? "0" : std::string(whole);
    if (!frac.empty()) key += "." + std::string(frac);
    return key;
}

std::string Latin1ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out.push_back(ch);
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

bool Utf8ToLatin1(std::string_view text, std::string& out) {
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < text.size() &&
                   (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
            out.push_back(static_cast<char>(((c & 0x1F) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3F)));
            ++i;
        } else {
            return false;
        }
    }
    return true;
}

} // namespace dbase
