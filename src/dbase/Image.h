// The 208,896-byte database image: its layout, the record codecs, and the
// reader and writer that move the model in and out of an image.
#pragma once

#include "Model.h"
#include "Status.h"

#include <span>
#include <vector>

namespace dbase {

inline constexpr int kImageSize = 208896;

namespace img {
inline constexpr int SatRecords = 0;
inline constexpr int SatCount = 3200;
inline constexpr int TpCount = 4096;
inline constexpr int SatTpCounts = 4098;
inline constexpr int ProgCount = 30564;
inline constexpr int AudioCount = 30566;
inline constexpr int FavNameBlock = 30568;
inline constexpr int ProgTable = 30824;
inline constexpr int AudioTable = 194824;
inline constexpr int Carried = 202824;
inline constexpr int FavLocks = 204428;
} // namespace img

// Offset of the transponder table for `satCount` satellites: 4,098 + satCount
// rounded up to a multiple of 4.
constexpr int TpTableOffset(int satCount) { return (4098 + satCount + 3) / 4 * 4; }

// Text of FEC code 0..6 ("Auto", "1/2", ... "7/8"); empty for other codes.
const char* FecName(int code);

// Record decoders: the decoded form of one stored record, with the capped
// fields read as the receiver's tools read them.
SatData DecodeSat(const SatRec& r);
TpData DecodeTp(const TpRec& r);
// The program's SatIndex is taken from transponder TpIndex of `tps` (255
// when TpIndex lies outside the table).
ProgData DecodeProg(const ProgRec& r, const TpTable& tps);
AudioData DecodeAudio(const AudioRec& r);
// The same, decoding into an existing record (reusing its texts' storage).
void DecodeSat(const SatRec& r, SatData& d);
void DecodeTp(const TpRec& r, TpData& d);
void DecodeProg(const ProgRec& r, const TpTable& tps, ProgData& d);
void DecodeAudio(const AudioRec& r, AudioData& d);

// Text of a 16-bit favourite mask, most significant bit first.
std::string FavMaskText(uint16_t mask);
// The 16-bit mask of a favourite mask text (characters other than '1' read as 0).
uint16_t FavMaskValue(const std::string& text);

// Stored and decoded forms of a free transponder and audio slot.
TpRec EmptyTpRec();
TpData EmptyTpData();
AudioRec EmptyAudioRec();
AudioData EmptyAudioData();

// Reads a decompressed image into `db`, replacing every table. Refuses an
// image whose counts exceed their tables; `db` is then left unchanged.
Status ParseImage(Database& db, std::span<const uint8_t> image);

// Writes the model into a fresh image of kImageSize bytes.
std::vector<uint8_t> BuildImage(const Database& db);

} // namespace dbase
