#include "SampleData.h"
#include "TestDb.h"

#include "base/Bits.h"
#include "format/Image.h"

#include <gtest/gtest.h>

using namespace dbase;

namespace {

std::vector<uint8_t> SampleImage() { return BuildImage(*sample::BuildSample()); }

// Parses an image that is expected to be accepted.
std::unique_ptr<Database> Parse(const std::vector<uint8_t>& image) {
    auto db = NewDatabase();
    const Status s = ParseImage(*db, image);
    EXPECT_TRUE(s.ok()) << s.message();
    return db;
}

} // namespace

TEST(ImageLayout, TransponderTableFloatsAfterTheSatelliteCounts) {
    EXPECT_EQ(TpTableOffset(0), 4100);
    EXPECT_EQ(TpTableOffset(1), 4100);
    EXPECT_EQ(TpTableOffset(2), 4100);
    EXPECT_EQ(TpTableOffset(3), 4104);
    EXPECT_EQ(TpTableOffset(64), 4164);
    EXPECT_EQ(TpTableOffset(64) + kTpSlots * kTpRecSize, img::ProgCount);
}

TEST(ImageLayout, AlignWordYieldsToTheTransponderTableWhereTheyOverlap) {
    // 2 satellites: no padding, the word lies on both first bytes of transponder 0.
    // 1 satellite: one byte of padding, the word's second byte lies on transponder 0.
    for (int sats : {1, 2, 3}) {
        auto db = sample::BuildSample();
        db->SatCount = static_cast<uint16_t>(sats);
        db->TpAlignWord = {0xAB, 0xCD};
        const auto image = BuildImage(*db);
        const int word = 4098 + sats, t0 = TpTableOffset(sats);
        const auto& tp0 = db->Tp.rec[0];
        EXPECT_EQ(image[word], word < t0 ? 0xAB : tp0[word - t0]) << sats;
        EXPECT_EQ(image[word + 1], word + 1 < t0 ? 0xCD : tp0[word + 1 - t0]) << sats;
        // Reading gives back the bytes that stand in the image, and writing them again changes nothing.
        auto back = Parse(image);
        EXPECT_EQ(back->TpAlignWord[0], image[word]);
        EXPECT_EQ(BuildImage(*back), image);
    }
}

TEST(ImageDecode, CappedFieldsReadAsTheReceiverToolsReadThem) {
    TpRec tp = EmptyTpRec();
    tp[2] = 0xF6; // FEC 15, Pol 1, Used
    TpData t = DecodeTp(tp);
    EXPECT_EQ(t.FecText, "3/4");
    EXPECT_EQ(t.Fec, 3);
    EXPECT_EQ(t.PolText, "V");
    EXPECT_EQ(t.Used, 1);
    tp[2] = 0x7E; // FEC 7, Pol 3
    t = DecodeTp(tp);
    EXPECT_EQ(t.Fec, 3);
    EXPECT_EQ(t.Pol, 1);
    tp[2] = 0x08; // Pol 2 has no letter of its own
    EXPECT_EQ(DecodeTp(tp).PolText, "?");

    TpTable tps;
    tps.data[7].SatIndex = 4;
    ProgRec p{};
    PutU16(p, 18, 0x0001);
    PutU16(p, 20, 0x2000);
    PutU16(p, 4, 7);
    p[9] = 0xFF;  // AudioTracks capped at 63
    p[10] = 0x80; // AudioSel: 1000 0000 -> 32
    p[23] = 0xFF; // ProgByte23 capped at 7
    ProgData d = DecodeProg(p, tps);
    EXPECT_EQ(d.FavMask, "0000000000000001");
    EXPECT_EQ(d.PmtPid, "4096");
    EXPECT_EQ(d.SatIndex, 4);
    EXPECT_EQ(d.AudioTracks, 63);
    EXPECT_EQ(d.AudioSel, 32);
    EXPECT_EQ(d.ProgByte23, 7);
    PutU16(p, 18, 0x8000);
    PutU16(p, 20, 0xFFFF);
    PutU16(p, 4, 2200); // outside the transponder table
    d = DecodeProg(p, tps);
    EXPECT_EQ(d.FavMask, "1000000000000000");
    EXPECT_EQ(d.PmtPid, "8191");
    EXPECT_EQ(d.SatIndex, 255);
    PutU16(p, 4, 0xFFFF);
    EXPECT_EQ(DecodeProg(p, tps).TpIndex, 4095u); // longest run within 5,000
}

TEST(ImageDecode, NamesEndAtNulOrAtTheFieldEnd) {
    ProgRec p{};
    const std::string full = "ABCDEFGHIJKLMNO";
    std::copy(full.begin(), full.end(), p.begin() + 24);
    p[39] = 'Z';
    TpTable tps;
    EXPECT_EQ(DecodeProg(p, tps).Name, full);
    p.fill(0);
    std::copy_n("ABC ", 4, p.begin() + 24);
    EXPECT_EQ(DecodeProg(p, tps).Name, "ABC "); // program names keep their trailing blanks

    SatRec s{};
    const std::string name18 = "ABCDEFGHIJKLMNOPQR";
    std::copy(name18.begin(), name18.end(), s.begin() + 17);
    s[35] = 'X';
    EXPECT_EQ(DecodeSat(s).Name, name18);
    s.fill(0);
    std::copy_n("Sat  ", 5, s.begin() + 17);
    PutU16(s, 6, 192);
    EXPECT_EQ(DecodeSat(s).Name, "Sat");
    EXPECT_EQ(DecodeSat(s).Longitude, "19.2");
}

TEST(ImageRoundTrip, ReadingAndWritingGivesTheSameImage) {
    const auto image = SampleImage();
    auto db = Parse(image);
    EXPECT_EQ(db->SatCount, 6);
    EXPECT_EQ(db->Sat.data[0].Name, "Astra 19.2E");
    EXPECT_EQ(BuildImage(*db), image);

    auto full = sample::BuildFull(7);
    const auto fullImage = BuildImage(*full);
    EXPECT_EQ(BuildImage(*Parse(fullImage)), fullImage);
    auto back = Parse(fullImage);
    for (int p = 0; p < kProgSlots; ++p) ASSERT_EQ(back->Prog.data[p], full->Prog.data[p]) << p;
}

TEST(ImageWrite, UnusedRegionsAreZeroAndTheCarriedRegionStays) {
    auto image = SampleImage();
    // Foreign bytes where nothing is interpreted, beyond SatCount, and in the carried region.
    image[TpTableOffset(6) + kTpSlots * kTpRecSize + 10] = 0x55;
    image[3300] = 0x66;
    image[50 * 10 + 3] = 0x77; // satellite slot 10, beyond SatCount
    image[170000] = 0x88;
    for (int i = img::Carried; i < img::FavLocks; ++i) image[i] = static_cast<uint8_t>(i * 7);
    image[205000] = 0x99;
    auto db = Parse(image);
    const auto out = BuildImage(*db);
    EXPECT_EQ(out[TpTableOffset(6) + kTpSlots * kTpRecSize + 10], 0);
    EXPECT_EQ(out[3300], 0);
    EXPECT_EQ(out[50 * 10 + 3], 0);
    EXPECT_EQ(out[170000], 0);
    EXPECT_EQ(out[205000], 0);
    for (int i = img::Carried; i < img::FavLocks; ++i) ASSERT_EQ(out[i], static_cast<uint8_t>(i * 7)) << i;
}

TEST(ImageRead, CountsBeyondTheirTablesAreRefusedAndNothingChanges) {
    const auto good = SampleImage();
    const struct {
        int offset, value;
    } bad[] = {{img::SatCount, 65}, {img::TpCount, 2201}, {img::ProgCount, 3001}, {img::AudioCount, 1001}};
    for (const auto& b : bad) {
        auto image = good;
        PutU16(image, b.offset, static_cast<uint16_t>(b.value));
        auto db = sample::BuildFull(3);
        const auto before = BuildImage(*db);
        const Status s = ParseImage(*db, image);
        EXPECT_FALSE(s.ok()) << b.offset;
        EXPECT_NE(s.message().find(std::to_string(b.value)), std::string::npos) << s.message();
        EXPECT_EQ(BuildImage(*db), before);
    }
    auto image = good;
    PutU16(image, img::SatCount, 64);
    PutU16(image, img::ProgCount, 3000);
    EXPECT_TRUE(ParseImage(*NewDatabase(), image).ok());
}

TEST(ModelQueries, ListsFollowSlotOrderAndKind) {
    testdb::Views views;
    auto db = sample::BuildSample();
    views.ListSatTps(*db, 0);
    EXPECT_EQ(int(views.TpList.size()), 10);
    for (int i = 1; i < int(views.TpList.size()); ++i) EXPECT_LT(views.TpList[i - 1], views.TpList[i]);

    views.ListAllProgs(*db);
    EXPECT_EQ(int(views.TvList.size()) + int(views.RadioList.size()), db->ProgCount);
    for (int p : views.RadioList) EXPECT_EQ(db->Prog.data[p].IsRadio, 1);

    views.ListSatTps(*db, 40); // no such satellite
    EXPECT_EQ(int(views.TpList.size()), 0);
    views.ListTpProgs(*db, 2199);
    EXPECT_EQ(int(views.TvList.size()) + int(views.RadioList.size()), 0);
}

TEST(ModelQueries, FavouriteListIgnoresUsedButNotTheCount) {
    testdb::Views views;
    auto db = sample::BuildSample();
    for (int p = 0; p < db->ProgCount + 1; ++p) db->Prog.data[p].FavMask = "0000000000000000";
    db->Prog.data[2].FavMask = "0000000000000001"; // group 1 (index 0)
    db->Prog.data[3].FavMask = "1000000000000000"; // group 16 (index 15)
    db->Prog.data[3].Used = 0;
    db->Prog.data[db->ProgCount].FavMask = "1000000000000000"; // beyond ProgCount: never scanned
    views.ListFavProgs(*db, 0);
    ASSERT_EQ(int(views.TvList.size()), 1);
    EXPECT_EQ(views.TvList[0], 2);
    views.ListFavProgs(*db, 15);
    ASSERT_EQ(int(views.TvList.size()), 1);
    EXPECT_EQ(views.TvList[0], 3);
}
