// The 208,896-byte database image: where its regions lie, and the reader
// and writer that move the model in and out of an image. Each stored
// record's layout and codec is in its own header, included here.
#pragma once

#include "base/Status.h"
#include "format/AudioRecord.h"
#include "format/FavBlock.h"
#include "format/ProgRecord.h"
#include "format/SatRecord.h"
#include "format/TpRecord.h"
#include "model/Model.h"

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

// Reads a decompressed image into `db`, replacing every table. Refuses an
// image whose counts exceed their tables; `db` is then left unchanged.
Status ParseImage(Database& db, std::span<const uint8_t> image);

// Writes the model into a fresh image of kImageSize bytes.
std::vector<uint8_t> BuildImage(const Database& db);
// The same, into `image` (resized to kImageSize, its storage reused).
void BuildImage(const Database& db, std::vector<uint8_t>& image);

} // namespace dbase
