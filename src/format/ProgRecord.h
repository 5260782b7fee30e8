// The stored program record (44 bytes): where each field lies, its decoder,
// the record of a new program, and the writes the editing operations make
// into it.
#pragma once

#include "format/RecordField.h"
#include "model/Model.h"

#include <span>
#include <string>
#include <string_view>

namespace dbase {

namespace progrec {
using PcrPid = BitField<0, 2, 3, 13>;
using IsFree = BitField<0, 2, 2, 1>;
using IsRadio = BitField<0, 2, 1, 1>;
using Used = BitField<0, 2, 0, 1>;
using PvtTop = BitField<2, 2, 13, 3>; // not interpreted
using PvtPid = BitField<2, 2, 0, 13>;
using TpIndex = WordField<4, 5000>;
using AudioTracks = ByteField<9, 63>;
using AudioSel = ByteField<10, 63>;
using VidFlags = BitField<12, 2, 13, 3>;
using VidPid = BitField<12, 2, 0, 13>;
using AudFlags = BitField<14, 2, 13, 3>;
using AudPid = BitField<14, 2, 0, 13>;
using ServiceId = WordField<16>;
using FavMask = WordField<18>; // bit g: favourite group g (0..15)
using PmtPid = WordField<20, 8191>;
using Skip = BitField<22, 1, 1, 1>;
using Lock = BitField<22, 1, 0, 1>;
using ProgByte23 = ByteField<23, 7>;
using Name = ByteRange<24, 15>;
using CaIds = ByteRange<40, 4>;
} // namespace progrec

// The stored track count of a program the editor adds; with no extra tracks
// in the audio table its decoded count is 1.
inline constexpr unsigned kNewProgramTracks = 4;

// Decodes a stored program record, the capped fields read as the receiver's
// tools read them. The program's SatIndex is taken from transponder TpIndex
// of `tps` (255 when TpIndex lies outside the table).
ProgData DecodeProg(const ProgRec& r, const TpTable& tps);
// The same, decoding into an existing record (reusing its texts' storage).
void DecodeProg(const ProgRec& r, const TpTable& tps, ProgData& d);
// The same, with the satellite of each transponder slot given on its own
// (SatIndex of its decoded record): the reader's way, whose lookups then stay
// within 2,200 bytes rather than reaching all over the transponder table.
void DecodeProg(const ProgRec& r, std::span<const uint8_t, kTpSlots> tpSatellites, ProgData& d);

// Text of a 16-bit favourite mask, most significant bit first.
std::string FavMaskText(uint16_t mask);
// The 16-bit mask of a favourite mask text (characters other than '1' read as 0).
uint16_t FavMaskValue(const std::string& text);

// What the record of a new program holds besides its zero bytes.
struct NewProgFields {
    unsigned tp = 0;
    bool radio = false, free = true;
    unsigned pcr = 0, pvt = 0, vid = 0, aud = 0, sid = 0, pmt = 0;
    uint16_t fav = 0;
    bool lock = false, skip = false;
    unsigned tracks = kNewProgramTracks;
    std::string_view name;
};

// The stored record of a new program in use.
ProgRec NewProgRec(const NewProgFields& f);

// Writes `name` (ISO 8859-1, at most 15 bytes) into the name field, the
// unused rest cleared.
void WriteProgName(ProgRec& r, std::string_view name);

// Set a program's transponder, lock, skip and favourite mask, in both forms.
void SetProgTransponder(ProgRec& r, ProgData& d, uint32_t tp);
void SetProgLock(ProgRec& r, ProgData& d, bool on);
void SetProgSkip(ProgRec& r, ProgData& d, bool on);
void SetProgFavMask(ProgRec& r, ProgData& d, uint16_t mask);

} // namespace dbase
