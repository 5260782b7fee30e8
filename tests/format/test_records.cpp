// The record layouts against the byte tables they were taken from: every
// named field writes exactly its own bits, whatever the bits around it hold,
// and a value too wide for it is cut rather than spilled into its neighbour.
#include "format/Image.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace dbase;

namespace {

// A field's bits as a byte mask: offset of its first byte, then the masks of
// its bytes from there.
struct Mask {
    size_t offset;
    std::vector<uint8_t> bytes;
};

template <size_t N> std::string Hex(const std::array<uint8_t, N>& r) {
    std::string s;
    char b[4];
    for (uint8_t x : r) {
        std::snprintf(b, sizeof b, "%02X ", x);
        s += b;
    }
    return s;
}

// Writes all-ones into a field of a zero record and zero into a field of an
// all-ones record: each must change exactly the bits of `mask`. A value one
// bit too wide must leave the bits beyond the field as they were.
template <class Field, size_t N> void ExpectBits(const char* name, const Mask& mask) {
    std::array<uint8_t, N> expected{};
    for (size_t i = 0; i < mask.bytes.size(); ++i) expected[mask.offset + i] = mask.bytes[i];

    std::array<uint8_t, N> r{};
    Field::Set(r, Field::max);
    EXPECT_EQ(Hex(r), Hex(expected)) << name << " set on zero bytes";
    EXPECT_EQ(Field::Get(r), Field::max) << name;

    r.fill(0xFF);
    Field::Set(r, 0);
    for (auto& b : expected) b = static_cast<uint8_t>(~b);
    EXPECT_EQ(Hex(r), Hex(expected)) << name << " cleared in 0xFF bytes";

    r.fill(0);
    Field::Set(r, (Field::max << 1) | 1u);
    for (auto& b : expected) b = static_cast<uint8_t>(~b);
    EXPECT_EQ(Hex(r), Hex(expected)) << name << " given a value one bit too wide";
}

template <class Range, size_t N> void ExpectBytes(const char* name, size_t offset, size_t size) {
    std::array<uint8_t, N> r{};
    Range::Fill(r, 0xFF);
    std::array<uint8_t, N> expected{};
    for (size_t i = 0; i < size; ++i) expected[offset + i] = 0xFF;
    EXPECT_EQ(Hex(r), Hex(expected)) << name;
}

} // namespace

TEST(RecordLayout, SatelliteFieldsLieWhereTheTableSays) {
    using namespace satrec;
    constexpr size_t N = kSatRecSize;
    ExpectBits<LnbLow, N>("LnbLow", {0, {0xFF, 0xFF}});
    ExpectBits<LnbHigh, N>("LnbHigh", {2, {0xFF, 0xFF}});
    ExpectBits<Position, N>("Position", {6, {0xFF, 0xFF}});
    ExpectBits<LnbType, N>("LnbType", {8, {0xFF}});
    ExpectBits<Power12V, N>("Power12V", {9, {0xFF}});
    ExpectBits<Tone22K, N>("Tone22K", {10, {0xFF}});
    ExpectBits<Diseqc10, N>("Diseqc10", {11, {0xFF}});
    ExpectBits<EditorMotor, N>("EditorMotor", {11, {0xF0}});
    ExpectBits<EditorDiseqc10, N>("EditorDiseqc10", {11, {0x0F}});
    ExpectBits<LnbPower, N>("LnbPower", {12, {0xFF}});
    ExpectBits<Diseqc11, N>("Diseqc11", {13, {0xFF}});
    ExpectBits<Byte14, N>("Byte14", {14, {0xFF}});
    ExpectBits<Motor, N>("Motor", {15, {0xFF}});
    ExpectBits<NameEnd, N>("NameEnd", {35, {0xFF}});
    ExpectBytes<SlotBytes, N>("SlotBytes", 4, 2);
    ExpectBytes<Name, N>("Name", 17, 18);
    ExpectBytes<LnbTail, N>("LnbTail", 36, 14);
}

TEST(RecordLayout, TransponderFieldsLieWhereTheTableSays) {
    using namespace tprec;
    constexpr size_t N = kTpRecSize;
    ExpectBits<Freq, N>("Freq", {0, {0xFF, 0x3F}});
    ExpectBits<FreqTop, N>("FreqTop", {1, {0xC0}});
    ExpectBits<Fec, N>("Fec", {2, {0xF0}});
    ExpectBits<Pol, N>("Pol", {2, {0x0C}});
    ExpectBits<Used, N>("Used", {2, {0x02}});
    ExpectBits<Byte2Low, N>("Byte2Low", {2, {0x01}});
    ExpectBits<Byte3, N>("Byte3", {3, {0xFF}});
    ExpectBits<SatIndex, N>("SatIndex", {4, {0xFF}});
    ExpectBits<TpNo, N>("TpNo", {5, {0xFF}});
    ExpectBits<SymRate, N>("SymRate", {6, {0xFF, 0xFF}});
    ExpectBytes<Reserved, N>("Reserved", 8, 4);
}

TEST(RecordLayout, ProgramFieldsLieWhereTheTableSays) {
    using namespace progrec;
    constexpr size_t N = kProgRecSize;
    ExpectBits<PcrPid, N>("PcrPid", {0, {0xF8, 0xFF}});
    ExpectBits<IsFree, N>("IsFree", {0, {0x04}});
    ExpectBits<IsRadio, N>("IsRadio", {0, {0x02}});
    ExpectBits<Used, N>("Used", {0, {0x01}});
    ExpectBits<PvtTop, N>("PvtTop", {3, {0xE0}});
    ExpectBits<PvtPid, N>("PvtPid", {2, {0xFF, 0x1F}});
    ExpectBits<TpIndex, N>("TpIndex", {4, {0xFF, 0xFF}});
    ExpectBits<AudioTracks, N>("AudioTracks", {9, {0xFF}});
    ExpectBits<AudioSel, N>("AudioSel", {10, {0xFF}});
    ExpectBits<VidFlags, N>("VidFlags", {13, {0xE0}});
    ExpectBits<VidPid, N>("VidPid", {12, {0xFF, 0x1F}});
    ExpectBits<AudFlags, N>("AudFlags", {15, {0xE0}});
    ExpectBits<AudPid, N>("AudPid", {14, {0xFF, 0x1F}});
    ExpectBits<ServiceId, N>("ServiceId", {16, {0xFF, 0xFF}});
    ExpectBits<FavMask, N>("FavMask", {18, {0xFF, 0xFF}});
    ExpectBits<PmtPid, N>("PmtPid", {20, {0xFF, 0xFF}});
    ExpectBits<Skip, N>("Skip", {22, {0x02}});
    ExpectBits<Lock, N>("Lock", {22, {0x01}});
    ExpectBits<ProgByte23, N>("ProgByte23", {23, {0xFF}});
    ExpectBytes<Name, N>("Name", 24, 15);
    ExpectBytes<CaIds, N>("CaIds", 40, 4);
}

TEST(RecordLayout, AudioFieldsLieWhereTheTableSays) {
    using namespace audiorec;
    constexpr size_t N = kAudioRecSize;
    ExpectBits<Top, N>("Top", {1, {0xC0}});
    ExpectBits<Pid, N>("Pid", {0, {0xFE, 0x3F}});
    ExpectBits<Used, N>("Used", {0, {0x01}});
    ExpectBits<ProgIndex, N>("ProgIndex", {2, {0xFF, 0xFF}});
    ExpectBits<Byte7, N>("Byte7", {7, {0xFF}});
    ExpectBytes<Lang, N>("Lang", 4, 3);
}

TEST(RecordLayout, TextFieldsClearTheirRestAndKeepTheirNeighbours) {
    ProgRec r;
    r.fill(0xAA);
    WriteProgName(r, "ABC");
    EXPECT_EQ(r[23], 0xAA);
    EXPECT_EQ(progrec::Name::Text(r), "ABC");
    EXPECT_EQ(r[38], 0);
    EXPECT_EQ(r[39], 0xAA);
    WriteProgName(r, "A name too long for the field");
    EXPECT_EQ(progrec::Name::Text(r), "A name too long");
    EXPECT_EQ(r[39], 0xAA);

    FavNameBlockBytes block;
    block.fill(0xAA);
    WriteFavName(block, 1, "News");
    EXPECT_EQ(FavNameOf(block, 1), "News");
    EXPECT_EQ(block[15], 0xAA);
    EXPECT_EQ(block[31], 0); // the byte after the name is cleared too
    EXPECT_EQ(block[32], 0xAA);
}

TEST(RecordLayout, RecordsTheSystemWrites) {
    EXPECT_EQ(Hex(EmptyTpRec()), "00 00 00 FF 00 00 00 00 FF FF FF FF ");
    EXPECT_EQ(Hex(EmptyAudioRec()), "FE FF FF FF 00 00 00 FF ");
    // 12,345 MHz vertical, 27,500 kS/s, FEC 3/4, number 2 of satellite 5.
    EXPECT_EQ(Hex(NewTpRec(5, 2, 12345, 27500, 1, 3)), "39 30 36 FF 05 02 6C 6B FF FF FF FF ");
    EXPECT_EQ(Hex(NewAudioRec(7, 0x1FFF, "deu")), "FF 3F 07 00 64 65 75 FF ");
}
