// Named places in a stored record. Each record's layout (SatRecord.h,
// TpRecord.h, ProgRecord.h, AudioRecord.h, FavBlock.h) is a list of these
// types, so that every offset and bit range is written once, next to the
// record's codec, and a field that does not lie inside its record is a
// compile error.
#pragma once

#include "base/Bits.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace dbase {

// Bits [Lo, Lo + Width) of the little-endian unsigned word of `Bytes` bytes
// (1 or 2) at byte `Offset` of a record. `Cap` is the largest value the
// receiver's tools read from the field: where it lies below the field's
// range, Read gives the longest leading run of bits within it (CappedField).
template <size_t Offset, size_t Bytes, unsigned Lo, unsigned Width, unsigned Cap = (1u << Width) - 1u> struct BitField {
    static_assert(Bytes == 1 || Bytes == 2, "a field lies in a byte or a 16-bit word");
    static_assert(Width >= 1 && Lo + Width <= 8 * Bytes, "the field's bits lie in its word");
    static constexpr size_t offset = Offset;
    static constexpr unsigned width = Width;
    static constexpr unsigned max = (1u << Width) - 1u;
    static constexpr unsigned cap = Cap;
    static_assert(Cap <= max, "a cap lies within the field's range");

    template <size_t N> static constexpr unsigned Word(const std::array<uint8_t, N>& r) {
        static_assert(Offset + Bytes <= N, "the field lies inside its record");
        if constexpr (Bytes == 1)
            return r[Offset];
        else
            return static_cast<unsigned>(r[Offset] | (r[Offset + 1] << 8));
    }

    // Returns the field's bits as they stand.
    template <size_t N> static constexpr unsigned Get(const std::array<uint8_t, N>& r) { return (Word(r) >> Lo) & max; }

    // Returns the value the reader takes from the field: Get, capped at Cap.
    template <size_t N> static unsigned Read(const std::array<uint8_t, N>& r) {
        const unsigned v = Get(r);
        if constexpr (Cap == max)
            return v;
        else
            return v <= Cap ? v : CappedField(v, Width, Cap);
    }

    // Writes the low `Width` bits of `v` into the field; every other bit of
    // the record keeps its value, so a value too wide is cut, never spilled
    // into the next field.
    template <size_t N> static constexpr void Set(std::array<uint8_t, N>& r, unsigned v) {
        constexpr unsigned mask = max << Lo;
        const unsigned w = (Word(r) & ~mask) | ((v << Lo) & mask);
        r[Offset] = static_cast<uint8_t>(w);
        if constexpr (Bytes == 2) r[Offset + 1] = static_cast<uint8_t>(w >> 8);
    }
};

// A whole byte, and a whole little-endian 16-bit word.
template <size_t Offset, unsigned Cap = 0xFF> using ByteField = BitField<Offset, 1, 0, 8, Cap>;
template <size_t Offset, unsigned Cap = 0xFFFF> using WordField = BitField<Offset, 2, 0, 16, Cap>;

// `Size` bytes at `Offset`: a text ended by the first NUL byte or by the
// field's end, or bytes carried as they stand.
template <size_t Offset, size_t Size> struct ByteRange {
    static constexpr size_t offset = Offset;
    static constexpr size_t size = Size;

    template <size_t N> static std::span<const uint8_t, Size> Bytes(const std::array<uint8_t, N>& r) {
        static_assert(Offset + Size <= N, "the field lies inside its record");
        return std::span<const uint8_t, Size>(r.data() + Offset, Size);
    }
    template <size_t N> static std::span<uint8_t, Size> Bytes(std::array<uint8_t, N>& r) {
        static_assert(Offset + Size <= N, "the field lies inside its record");
        return std::span<uint8_t, Size>(r.data() + Offset, Size);
    }

    // Sets `s` to the text of the field (the bytes up to the first NUL),
    // reusing its storage.
    template <size_t N> static void GetText(const std::array<uint8_t, N>& r, std::string& s) {
        const auto b = Bytes(r);
        size_t n = 0;
        while (n < Size && b[n] != 0) ++n;
        s.assign(reinterpret_cast<const char*>(b.data()), n);
    }
    template <size_t N> static std::string Text(const std::array<uint8_t, N>& r) {
        std::string s;
        GetText(r, s);
        return s;
    }

    // Writes the first `Size` bytes of `text` into the field and clears the
    // rest of it.
    template <size_t N> static void SetText(std::array<uint8_t, N>& r, std::string_view text) {
        const auto b = Bytes(r);
        const size_t n = std::min(text.size(), Size);
        std::copy_n(text.begin(), n, b.begin());
        std::fill(b.begin() + static_cast<std::ptrdiff_t>(n), b.end(), uint8_t{0});
    }

    // Sets every byte of the field to `value`.
    template <size_t N> static void Fill(std::array<uint8_t, N>& r, uint8_t value) {
        std::fill(Bytes(r).begin(), Bytes(r).end(), value);
    }

    // Copies the field's bytes from `from` into `to`.
    template <size_t N> static void Copy(const std::array<uint8_t, N>& from, std::array<uint8_t, N>& to) {
        std::copy_n(Bytes(from).begin(), Size, Bytes(to).begin());
    }
    // Exchanges the field's bytes of two records.
    template <size_t N> static void Swap(std::array<uint8_t, N>& a, std::array<uint8_t, N>& b) {
        std::swap_ranges(Bytes(a).begin(), Bytes(a).end(), Bytes(b).begin());
    }
};

} // namespace dbase
