// The stored favourite groups: the name block (16 entries of 16 bytes, group
// g at 16·g: a name of up to 15 bytes ended by the first NUL, then a byte not
// interpreted) and the 16 lock bytes.
#pragma once

#include "model/Model.h"

#include <string>
#include <string_view>

namespace dbase {

using FavNameBlockBytes = std::array<uint8_t, kFavGroups * kFavNameSize>;

// The longest name a favourite group stores.
inline constexpr size_t kFavNameChars = 15;

// The name of group `group` (0..15) as the block stores it, trailing blanks
// removed.
std::string FavNameOf(const FavNameBlockBytes& block, int group);

// Writes `name` (at most 15 bytes) as the name of group `group`, clearing
// the rest of its 16 bytes.
void WriteFavName(FavNameBlockBytes& block, int group, std::string_view name);

} // namespace dbase
