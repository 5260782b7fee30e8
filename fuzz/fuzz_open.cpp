// Opening a data file from arbitrary bytes. The first byte chooses how the
// rest is used, so that the deeper stages are reached too and not only the
// checksum test:
//   0: a whole data file (container, checksums, decompression, image)
//   1: an LZO1X stream, put into a container with good checksums
//   2: a decompressed image (zero-filled to its size)
// After a successful open the queries run and the model is saved and opened again.
#include "dbase/Container.h"
#include "dbase/DataFile.h"
#include "dbase/Image.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

void Exercise(dbase::Database& db) {
    db.ListAllTps();
    db.ListAllProgs();
    for (int s = 0; s < db.SatCount; ++s) {
        db.ListSatTps(s);
        db.ListSatProgs(s);
    }
    for (int i = 0; i < 8; ++i)
        db.ListTpProgs(db.TpList[i]);
    for (int g = 0; g < dbase::kFavGroups; ++g)
        db.ListFavProgs(g);
    for (int p = 0; p < db.ProgCount; ++p)
        (void)db.ExtraAudioSlot(p, db.Prog.data[p].AudioSel);
    // A saved file opens again and holds the same image.
    std::vector<uint8_t> out;
    if (dbase::BuildSaveBytes(db, db.Is256K ? dbase::SaveMode::Channel : dbase::SaveMode::Default, out)) {
        static auto again = dbase::NewDatabase();
        if (!dbase::OpenImageBytes(out, dbase::KindFromSize(out.size()), *again)) __builtin_trap();
        if (dbase::BuildImage(*again) != dbase::BuildImage(db)) __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t how = data[0] % 3;
    std::span<const uint8_t> rest(data + 1, size - 1);
    static auto db = dbase::NewDatabase();
    switch (how) {
    case 0: {
        std::vector<uint8_t> file(rest.begin(), rest.end());
        const bool is256K = file.size() > dbase::kDefaultFileSize;
        file.resize(dbase::FileSizeFor(is256K), 0);
        if (dbase::OpenImageBytes(file, is256K, *db)) Exercise(*db);
        break;
    }
    case 1: {
        if (rest.size() > dbase::kMaxStreamLength) return 0;
        const auto file = dbase::MakeContainerFile(rest, dbase::kDefaultFileSize, 0);
        if (dbase::OpenImageBytes(file, false, *db)) Exercise(*db);
        break;
    }
    default: {
        std::vector<uint8_t> image(rest.begin(), rest.end());
        image.resize(dbase::kImageSize, 0);
        if (dbase::ParseImage(*db, image)) Exercise(*db);
        break;
    }
    }
    return 0;
}
