#include "Bits.h"

#include <cctype>
#include <cstdlib>

namespace dbase {

std::string IntToBase(long long value, int width, int base, char fill) {
    if (base < 2 || base > 36) return {};
    static constexpr char digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    unsigned long long v = value < 0 ? 0ull - static_cast<unsigned long long>(value)
                                     : static_cast<unsigned long long>(value);
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
    const unsigned long long a = neg ? 0ull - static_cast<unsigned long long>(tenths)
                                     : static_cast<unsigned long long>(tenths);
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

std::string TrimRight(std::string_view text) {
    size_t n = text.size();
    while (n > 0 && text[n - 1] == ' ') --n;
    return std::string(text.substr(0, n));
}

} // namespace dbase
