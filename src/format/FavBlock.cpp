#include "format/FavBlock.h"

#include "base/Bits.h"

#include <algorithm>
#include <span>

namespace dbase {

namespace {

std::span<const uint8_t, kFavNameSize> Entry(const FavNameBlockBytes& block, int group) {
    return std::span<const uint8_t, kFavNameSize>(block.data() + kFavNameSize * group, kFavNameSize);
}

} // namespace

std::string FavNameOf(const FavNameBlockBytes& block, int group) {
    return TrimRight(FieldText(Entry(block, group).first(kFavNameChars)));
}

void WriteFavName(FavNameBlockBytes& block, int group, std::string_view name) {
    const auto entry = block.begin() + kFavNameSize * group;
    std::fill(entry, entry + kFavNameSize, uint8_t{0});
    std::copy_n(name.begin(), std::min(name.size(), kFavNameChars), entry);
}

} // namespace dbase
