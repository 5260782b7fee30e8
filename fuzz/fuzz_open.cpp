// Opening a data file from arbitrary bytes. The first byte chooses how the
// rest is used (its low seven bits modulo 3), so that the deeper stages are
// reached too and not only the checksum test:
//   0: a whole data file (container, checksums, decompression, image)
//   1: an LZO1X stream, put into a container with good checksums
//   2: a decompressed image (zero-filled to its size)
// After a successful open the queries run and the model is saved and opened
// again. When bit 7 of the first byte is set, every kind of edit is then made
// on a copy (they cost several times the open). A file that opens need not
// keep the invariants the editing operations keep (its counts are taken as
// they stand), so the edits are only required not to crash.
#include "editing/EditorFields.h"
#include "editing/Entries.h"
#include "editing/IniImport.h"
#include "editing/Marks.h"
#include "editing/Reorder.h"
#include "format/Container.h"
#include "format/DataFile.h"
#include "format/Image.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using namespace dbase;

// The first transponder in use, or -1.
int FirstTp(const Database& db) {
    for (int t = 0; t < kTpSlots; ++t)
        if (db.Tp.data[t].Used == 1) return t;
    return -1;
}

// Every editing operation once, each through the checks its command makes.
void EditEverything(Database& db) {
    const int last = db.ProgCount - 1;
    if (CheckProgSlot(db, 0)) {
        for (int button : {0, 15, kLockButton, kSkipButton}) ToggleMarks(db, 0, button);
        ProgInput in = ShowProgram(db, 0);
        in.name = "Edited";
        ProgValues v;
        if (!CheckProgram(in, v)) ChangeProgram(db, 0, v);
    }
    if (CheckProgSwap(db, 0, last)) SwapPrograms(db, 0, last);
    // The name sort compares every pair of programs; on a large table it
    // would take most of the time the fuzzer has, for no other branches.
    static const NameCollator bytes("C");
    for (ProgKind kind : {ProgKind::Tv, ProgKind::Radio})
        for (SortKey key : {SortKey::Name, SortKey::Fav, SortKey::Tp})
            if (key != SortKey::Name || db.ProgCount <= 300) SortPrograms(db, kind, key, bytes);
    if (CheckSatSwap(db, 0, db.SatCount - 1)) SwapSatellites(db, 0, db.SatCount - 1);
    if (CheckSatSlot(db, 0)) {
        SatInput in = ShowSatellite(db, 0).input;
        SatValues v;
        if (!CheckSatellite(in, v)) ChangeSatellite(db, 0, v);
        TpValues tv{11000, 27500, 1, 3};
        // A refused add leaves the data as it was, which is all this run asks.
        (void)AddTransponder(db, SatSlot(0), tv);
    }
    if (const int tp = FirstTp(db); tp >= 0) {
        TpValues v;
        if (!CheckTransponder(ShowTransponder(db, tp), v)) ChangeTransponder(db, tp, v);
        ProgValues pv;
        pv.name = "Added";
        (void)AddProgram(db, TpSlot(tp), false, pv); // refused or made, the delete below must hold
        DeleteTransponder(db, TpSlot(tp), SatSlot(db.Tp.data[tp].SatIndex));
    }
    DeleteProgram(db, 0);
    DeleteProgram(db, db.ProgCount - 1);
    // A damaged file may list two thousand empty transponders; a few show
    // the same paths.
    std::vector<int> empty = EmptyTransponders(db, AllTps(db));
    empty.resize(std::min<size_t>(empty.size(), 40));
    DeleteTransponders(db, empty);
    if (CheckSatSlot(db, db.SatCount - 1)) ResetSatellite(db, db.SatCount - 1);
    if (CheckSatSlot(db, 0)) {
        static const IniFile file = ParseIniText("[SATTYPE]\n1=0192\n2=Astra\n[DVB]\n0=2\n1=11000,H,27500,34\n"
                                                 "2=12000,V,22000,56\n");
        // An import the satellite has no room for is refused and changes nothing.
        (void)ImportIni(db, 0, file);
        ClearSatTransponders(db, 0);
    }
    (void)SetFavName(db, 0, "Fuzz"); // a name the editor accepts: never refused
    SetFavLock(db, 15, true);
    std::vector<uint8_t> out;
    (void)BuildSaveBytes(db, SaveMode::Default, out);
}

void Exercise(dbase::Database& db, bool is256K, bool edit) {
    const std::vector<int> tps = dbase::AllTps(db);
    (void)dbase::AllProgs(db);
    for (int s = 0; s < db.SatCount; ++s) {
        (void)dbase::SatTps(db, s);
        (void)dbase::SatProgs(db, s);
    }
    for (size_t i = 0; i < 8 && i < tps.size(); ++i) (void)dbase::TpProgs(db, tps[i]);
    for (int g = 0; g < dbase::kFavGroups; ++g) (void)dbase::FavProgs(db, g);
    for (int p = 0; p < db.ProgCount; ++p) (void)db.ExtraAudioSlot(p, db.Prog.data[p].AudioSel);
    // A saved file opens again and holds the same image.
    std::vector<uint8_t> out;
    if (dbase::BuildSaveBytes(db, is256K ? dbase::SaveMode::Channel : dbase::SaveMode::Default, out)) {
        static auto again = dbase::NewDatabase();
        if (!dbase::OpenImageBytes(out, dbase::KindFromSize(out.size()), *again)) __builtin_trap();
        if (dbase::BuildImage(*again) != dbase::BuildImage(db)) __builtin_trap();
    }
    if (!edit) return;
    static auto copy = dbase::NewDatabase();
    *copy = db;
    EditEverything(*copy);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t how = (data[0] & 0x7F) % 3;
    const bool edit = data[0] & 0x80;
    std::span<const uint8_t> rest(data + 1, size - 1);
    static auto db = dbase::NewDatabase();
    switch (how) {
    case 0: {
        std::vector<uint8_t> file(rest.begin(), rest.end());
        const bool is256K = file.size() > dbase::kDefaultFileSize;
        file.resize(dbase::FileSizeFor(is256K), 0);
        if (dbase::OpenImageBytes(file, is256K, *db)) Exercise(*db, is256K, edit);
        break;
    }
    case 1: {
        if (rest.size() > dbase::kMaxStreamLength) return 0;
        const auto file = dbase::MakeContainerFile(rest, dbase::kDefaultFileSize, 0);
        if (dbase::OpenImageBytes(file, false, *db)) Exercise(*db, false, edit);
        break;
    }
    default: {
        std::vector<uint8_t> image(rest.begin(), rest.end());
        image.resize(dbase::kImageSize, 0);
        if (dbase::ParseImage(*db, image)) Exercise(*db, false, edit);
        break;
    }
    }
    return 0;
}
