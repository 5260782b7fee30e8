// Number and text helpers shared by the record codecs and the lists.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

namespace dbase {

// Returns the digits of |value| in `base` (2..36, digits 0-9 then A-Z, most
// significant first), padded on the left with `fill` to at least `width`
// characters. A value needing more digits than `width` is returned whole.
// Returns an empty text for a base outside 2..36.
std::string IntToBase(long long value, int width, int base, char fill);

// Returns the number written in `text`, read from the left. Reading stops at
// the first character that is not a digit of `base`, or before the digit that
// would make the result exceed `max`. Returns 0 for a base outside 2..36.
long long BaseToInt(std::string_view text, int base, long long max);

// Returns the value of the longest leading run (most significant bit first) of
// the `width`-bit field `value` that does not exceed `max`: the same result as
// BaseToInt(IntToBase(value, width, 2, '0'), 2, max), computed with shifts.
unsigned CappedField(unsigned value, int width, unsigned max);

inline uint16_t GetU16(std::span<const uint8_t> b, size_t off) {
    return static_cast<uint16_t>(b[off] | (b[off + 1] << 8));
}
inline uint32_t GetU32(std::span<const uint8_t> b, size_t off) {
    return static_cast<uint32_t>(b[off]) | (static_cast<uint32_t>(b[off + 1]) << 8) |
           (static_cast<uint32_t>(b[off + 2]) << 16) | (static_cast<uint32_t>(b[off + 3]) << 24);
}
inline void PutU16(std::span<uint8_t> b, size_t off, uint16_t v) {
    b[off] = static_cast<uint8_t>(v);
    b[off + 1] = static_cast<uint8_t>(v >> 8);
}
inline void PutU32(std::span<uint8_t> b, size_t off, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[off + i] = static_cast<uint8_t>(v >> (8 * i));
}

// Text of an unsigned number in decimal.
std::string DecText(unsigned long long v);
// Sets `s` to the decimal text of `v`, reusing its storage. The reader
// writes some 25,000 of these numbers per file: they go two digits at a time
// from a table, with at most two dependent divisions below 100,000.
inline void SetDecText(std::string& s, unsigned v) {
    static constexpr auto kPairs = [] {
        std::array<char, 200> t{};
        for (size_t i = 0; i < 100; ++i) {
            t[2 * i] = static_cast<char>('0' + i / 10);
            t[2 * i + 1] = static_cast<char>('0' + i % 10);
        }
        return t;
    }();
    if (v >= 100000) {
        s = std::to_string(v);
        return;
    }
    const size_t n = v < 10 ? 1 : v < 100 ? 2 : v < 1000 ? 3 : v < 10000 ? 4 : 5;
    if (s.size() != n) s.resize(n);
    char* const end = s.data() + n;
    const unsigned top = v / 10000, rest = v - top * 10000;
    const unsigned high = rest / 100, low = rest - high * 100;
    // The digits from the right: the low pair, the high pair, the top digit,
    // as far as the number reaches.
    if (n == 1) {
        end[-1] = static_cast<char>('0' + v);
        return;
    }
    std::memcpy(end - 2, &kPairs[2 * low], 2);
    if (n == 3) end[-3] = static_cast<char>('0' + high);
    if (n >= 4) std::memcpy(end - 4, &kPairs[2 * high], 2);
    if (n == 5) end[-5] = static_cast<char>('0' + top);
}

// Shortest decimal text of tenths / 10 ("192" -> "19.2", "130" -> "13").
std::string TenthsText(long long tenths);

// Text of a fixed-size, NUL-terminated byte field: the bytes up to the first
// NUL or the end of the field.
std::string FieldText(std::span<const uint8_t> field);

// True when every byte of `bytes` is zero. Reads eight bytes at a time and
// does not stop early, so that the compiler can use vectors.
inline bool AllZero(std::span<const uint8_t> bytes) {
    uint64_t any = 0;
    size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        uint64_t w;
        std::memcpy(&w, bytes.data() + i, 8);
        any |= w;
    }
    for (; i < bytes.size(); ++i) any |= bytes[i];
    return any == 0;
}

// A list of byte values as a text: "[1,0,0,0]".
std::string ByteListText(std::span<const uint8_t> bytes);

// `text` without trailing blanks.
std::string TrimRight(std::string_view text);

// `text` left-padded with "0" to five characters, as the lists show
// frequencies and symbol rates; longer texts are kept whole.
std::string FiveWide(std::string_view text);

// A text as a key that compares numbers by value: leading and trailing blanks
// are dropped, and a decimal number (digits with at most one ".") is written
// in its shortest form ("019.20" and "19.2" give "19.2", "03840" gives
// "3840"). Any other text is returned trimmed.
std::string NumberKey(std::string_view text);

// Text in ISO 8859-1 as UTF-8.
std::string Latin1ToUtf8(std::string_view text);
// UTF-8 text as ISO 8859-1; false when a character lies outside it or the
// text is not UTF-8.
bool Utf8ToLatin1(std::string_view text, std::string& out);

} // namespace dbase
