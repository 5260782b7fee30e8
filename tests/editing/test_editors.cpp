// The editors' model side: what they show, their validation order and the
// encodings of OK.
#include "TestDb.h"

#include "base/Bits.h"
#include "base/Messages.h"
#include "editing/Consistency.h"
#include "editing/EditorFields.h"
#include "editing/Entries.h"

#include <gtest/gtest.h>

using namespace dbase;
using sample::AddAudio;
using sample::AddProg;
using sample::AddSat;
using sample::AddTp;
using testdb::Prog;

TEST(Digits, OnlyPlainDecimalDigitsCount) {
    EXPECT_TRUE(IsDigits("0"));
    EXPECT_TRUE(IsDigits("01000"));
    for (const char* bad : {"", "-1", "+1", "1a", " 12", "12 ", "1.5", "1,5"}) EXPECT_FALSE(IsDigits(bad)) << bad;
    EXPECT_EQ(DigitsValue("8191", 8191), 8191u);
    EXPECT_FALSE(DigitsValue("8192", 8191));
    EXPECT_FALSE(DigitsValue("99999999999999999999999", 65535)); // refused, never wrapped
    EXPECT_EQ(DigitsValue("000000000000000000000042", 65535), 42u);
}

TEST(CaSystems, NamesOfTheIdBytes) {
    EXPECT_STREQ(CaSystemName(1), "Seca");
    EXPECT_STREQ(CaSystemName(5), "Viaccess");
    EXPECT_STREQ(CaSystemName(25), "Titan Information Systems");
    EXPECT_STREQ(CaSystemName(32), "Telefonica Servicios Audiovisuales");
    EXPECT_STREQ(CaSystemName(38), "European");
    EXPECT_STREQ(CaSystemName(71), "General Instrument");
    EXPECT_STREQ(CaSystemName(72), "Telemann");
    EXPECT_STREQ(CaSystemName(74), "Unknow");
    for (int unlisted : {0, 26, 31, 39, 70, 73, 75, 255}) EXPECT_STREQ(CaSystemName(unlisted), "Sky") << unlisted;
}

TEST(CaSystems, FieldsForFreeAndScrambledPrograms) {
    ProgData d;
    d.IsFree = 1;
    d.CaIds = {5, 6, 7, 8};
    auto f = CaFields(d);
    EXPECT_EQ(f[0].text, "The Program is free!");
    EXPECT_FALSE(f[0].grey);
    for (int k = 1; k < 4; ++k) EXPECT_TRUE(f[k].grey && f[k].text.empty());

    d.IsFree = 0;
    d.CaIds = {5, 0, 0, 0};
    f = CaFields(d);
    EXPECT_EQ(f[0].text, "Viaccess");
    for (int k = 1; k < 4; ++k) EXPECT_TRUE(f[k].grey && f[k].text.empty());

    d.CaIds = {0, 0, 24, 0};
    f = CaFields(d);
    EXPECT_EQ(f[0].text, "Sky");
    EXPECT_EQ(f[2].text, "Nagra");
    EXPECT_FALSE(f[2].grey);
    EXPECT_TRUE(f[1].grey);
}

namespace {

ProgInput GoodProg() {
    ProgInput in;
    in.name = "News";
    in.vid = "100";
    in.pvt = "105";
    in.aud = "101";
    in.pmt = "102";
    in.pcr = "100";
    in.sid = "1003";
    return in;
}

void ExpectRefused(ProgInput in, ProgField field, const char* message, bool clear) {
    ProgValues v;
    const auto r = CheckProgram(in, v);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->field, field);
    EXPECT_EQ(r->message, message);
    EXPECT_EQ(r->clear, clear);
}

} // namespace

TEST(ProgramEditor, ValidationFollowsTheFieldOrder) {
    ProgInput in = GoodProg();
    in.name = "";
    in.vid = "x";
    ExpectRefused(in, ProgField::Name, msg::EmptyField, false);
    in = GoodProg();
    in.name = "sixteen chars!!!";
    ExpectRefused(in, ProgField::Name, msg::IllegalData, true);

    in = GoodProg();
    in.vid = "";
    in.aud = "";
    ExpectRefused(in, ProgField::Vid, msg::EmptyField, false);
    for (const char* bad : {"-1", "1a", " 12", "8192"}) {
        in = GoodProg();
        in.vid = bad;
        in.pcr = "";
        ExpectRefused(in, ProgField::Vid, msg::IllegalData, true);
    }
    in = GoodProg();
    in.pvt = "8192";
    in.aud = "";
    ExpectRefused(in, ProgField::Pvt, msg::IllegalData, true);
    in = GoodProg();
    in.aud = "";
    in.pmt = "x";
    ExpectRefused(in, ProgField::Aud, msg::EmptyField, false);
    in = GoodProg();
    in.aud = "9000";
    ExpectRefused(in, ProgField::Aud, msg::IllegalData, true);
    in = GoodProg();
    in.pmt = "1 ";
    in.pcr = "";
    ExpectRefused(in, ProgField::Pmt, msg::IllegalData, true);
    in = GoodProg();
    in.pcr = "";
    in.sid = "x";
    ExpectRefused(in, ProgField::Pcr, msg::EmptyField, false);
    in = GoodProg();
    in.sid = "65536";
    ExpectRefused(in, ProgField::Sid, msg::IllegalData, true);
}

TEST(ProgramEditor, EmptyOptionalFieldsTakeTheirDefaults) {
    ProgInput in = GoodProg();
    in.pvt = in.pmt = in.sid = "";
    in.vid = "8191";
    ProgValues v;
    ASSERT_FALSE(CheckProgram(in, v).has_value());
    EXPECT_EQ(in.pvt, "8191");
    EXPECT_EQ(in.pmt, "8191");
    EXPECT_EQ(in.sid, "0");
    EXPECT_EQ(v.pvt, 8191);
    EXPECT_EQ(v.pmt, 8191);
    EXPECT_EQ(v.sid, 0);
    EXPECT_EQ(v.vid, 8191);
}

TEST(ProgramEditor, AddWritesAFreshRecord) {
    auto db = testdb::Empty();
    AddSat(*db, {"A", 192});
    AddSat(*db, {"B", 130});
    AddTp(*db, 0, 10000, false, 22000, 0);
    const int tp = AddTp(*db, 1, 11000, false, 22000, 0);
    ProgInput in = GoodProg();
    in.pvt = in.pmt = in.sid = "";
    in.name = "Fifteen chars!!";
    in.lock = true;
    in.fav = 0x8001;
    ProgValues v;
    ASSERT_FALSE(CheckProgram(in, v).has_value());
    int slot = -1;
    ASSERT_TRUE(AddProgram(*db, TpSlot(tp), true, v, &slot).ok());

    EXPECT_EQ(slot, 0);
    EXPECT_EQ(db->ProgCount, 1);
    const ProgRec& r = db->Prog.rec[0];
    EXPECT_EQ(GetU16(r, 0), (100 << 3) | 4 | 2 | 1);
    EXPECT_EQ(GetU16(r, 2), 8191);
    EXPECT_EQ(GetU16(r, 4), tp);
    EXPECT_EQ(r[9], 4);
    EXPECT_EQ(r[10], 0);
    EXPECT_EQ(GetU16(r, 12), 100);
    EXPECT_EQ(GetU16(r, 14), 101);
    EXPECT_EQ(GetU16(r, 16), 0);
    EXPECT_EQ(GetU16(r, 18), 0x8001);
    EXPECT_EQ(GetU16(r, 20), 8191);
    EXPECT_EQ(r[22], 1);
    EXPECT_EQ(std::string(r.begin() + 24, r.begin() + 39), "Fifteen chars!!");
    EXPECT_EQ(r[39], 0);
    const ProgData& d = db->Prog.data[0];
    EXPECT_EQ(d.Used, 1);
    EXPECT_EQ(d.IsRadio, 1);
    EXPECT_EQ(d.IsFree, 1);
    EXPECT_EQ(d.AudioTracks, 1);
    EXPECT_EQ(d.AudioSel, 0);
    EXPECT_EQ(d.SatIndex, 1);
    EXPECT_EQ(d.AudPid, "101");
    EXPECT_EQ(d.PvtPid, "8191");
    EXPECT_EQ(d.FavMask, "1000000000000001");
    testdb::ExpectConsistent(*db);
}

TEST(ProgramEditor, RefusedAddChangesNothing) {
    auto db = testdb::Empty();
    AddSat(*db, {"A", 192});
    const int tp = AddTp(*db, 0, 11000, false, 22000, 0);
    for (int i = 0; i < kMaxProgsPerTp; ++i) AddProg(*db, tp, Prog("p"));
    const auto before = testdb::Copy(*db);
    ProgInput in = GoodProg();
    ProgValues v;
    ASSERT_FALSE(CheckProgram(in, v).has_value());
    EXPECT_EQ(AddProgram(*db, TpSlot(tp), false, v).message(), msg::MaxProgramsPerTp);
    EXPECT_FALSE(AddProgram(*db, TpSlot(7), false, v).ok()); // not a transponder in use
    EXPECT_EQ(BuildImage(*db), BuildImage(*before));
}

TEST(ProgramEditor, ChangeKeepsEveryBitTheDialogDoesNotOwn) {
    auto db = testdb::Empty();
    AddSat(*db, {"A", 192});
    const int tp = AddTp(*db, 0, 11000, false, 22000, 0);
    AddProg(*db, tp, Prog("Old name here"));
    ProgRec& r = db->Prog.rec[0];
    // Foreign bits all set: flags of word 0, the top of the Pvt word, bytes
    // 4-11, the flags above the video and audio PIDs, byte 22's upper bits,
    // byte 23, byte 39 and the CA ids.
    PutU16(r, 0, GetU16(r, 0) | 0x0006);
    PutU16(r, 2, GetU16(r, 2) | 0xE000);
    const uint8_t mid[] = {0, 0, 0xAB, 0xCD, 0xEF, 3, 0, 0x99};
    for (int i = 2; i < 8; ++i) r[4 + i] = mid[i];
    PutU16(r, 12, GetU16(r, 12) | 0xE000);
    PutU16(r, 14, GetU16(r, 14) | 0xA000);
    r[22] = 0xFC;
    r[23] = 5;
    r[39] = 0x42;
    r[40] = 5, r[41] = 6, r[42] = 7, r[43] = 8;
    db->Prog.data[0] = DecodeProg(r, db->Tp);
    const ProgRec before = r;

    ProgInput in = ShowProgram(*db, 0);
    in.name = "New";
    in.vid = "8191";
    in.pvt = "1";
    in.aud = "2";
    in.pmt = "3";
    in.pcr = "8191";
    in.sid = "65535";
    in.lock = true;
    in.skip = true;
    in.fav = 0;
    ProgValues v;
    ASSERT_FALSE(CheckProgram(in, v).has_value());
    ChangeProgram(*db, 0, v);

    EXPECT_EQ(GetU16(r, 0), (8191 << 3) | 0x0006 | 1);
    EXPECT_EQ(GetU16(r, 2), 0xE001);
    EXPECT_TRUE(std::equal(before.begin() + 4, before.begin() + 12, r.begin() + 4));
    EXPECT_EQ(GetU16(r, 12), 0xFFFF);
    EXPECT_EQ(GetU16(r, 14), 0xA002);
    EXPECT_EQ(GetU16(r, 16), 65535);
    EXPECT_EQ(GetU16(r, 18), 0);
    EXPECT_EQ(GetU16(r, 20), 3);
    EXPECT_EQ(r[22], 0xFF);
    EXPECT_EQ(r[23], 5);
    EXPECT_EQ(std::string(r.begin() + 24, r.begin() + 39), std::string("New") + std::string(12, '\0'));
    EXPECT_TRUE(std::equal(before.begin() + 39, before.end(), r.begin() + 39));
    const ProgData& d = db->Prog.data[0];
    EXPECT_EQ(d.FavMask, "0000000000000000");
    EXPECT_EQ(d.Name, "New");
    EXPECT_EQ(d.Lock, 1);
    EXPECT_EQ(d.Skip, 1);
    testdb::ExpectConsistent(*db);
}

TEST(ProgramEditor, SelectedExtraTrackAloneTakesTheAudioPid) {
    auto db = testdb::Empty();
    AddSat(*db, {"A", 192});
    const int tp = AddTp(*db, 0, 11000, false, 22000, 0);
    AddProg(*db, tp, Prog("other"));
    const int p = AddProg(*db, tp, Prog("multi", false, 200));
    AddAudio(*db, p, 300, "eng");
    AddAudio(*db, 0, 400, "deu");
    const int second = AddAudio(*db, p, 301, "fra");
    db->Prog.rec[p][10] = 2;
    db->Prog.data[p] = DecodeProg(db->Prog.rec[p], db->Tp);

    EXPECT_EQ(ProgramAudioSlot(*db, p), second);
    ProgInput in = ShowProgram(*db, p);
    EXPECT_EQ(in.aud, "301");
    in.aud = "777";
    ProgValues v;
    ASSERT_FALSE(CheckProgram(in, v).has_value());
    ChangeProgram(*db, p, v);

    EXPECT_EQ(db->Audio.data[second].Pid, "777");
    EXPECT_EQ((GetU16(db->Audio.rec[second], 0) >> 1) & 0x1FFF, 777);
    EXPECT_EQ(GetU16(db->Audio.rec[second], 0) & 1, 1);
    EXPECT_EQ(db->Prog.data[p].AudPid, "201");
    EXPECT_EQ(GetU16(db->Prog.rec[p], 14), 201);
    EXPECT_EQ(db->Audio.data[0].Pid, "300");
    testdb::ExpectConsistent(*db);
}

TEST(ProgramEditor, MissingSelectedTrackFallsBackToTheProgramsOwnPid) {
    auto db = testdb::Empty();
    AddSat(*db, {"A", 192});
    const int tp = AddTp(*db, 0, 11000, false, 22000, 0);
    const int p = AddProg(*db, tp, Prog("lonely", false, 200));
    AddAudio(*db, p, 300, "eng");
    db->Prog.rec[p][10] = 3; // names a third track the table does not hold
    db->Prog.data[p] = DecodeProg(db->Prog.rec[p], db->Tp);
    const AudioRec track = db->Audio.rec[0];

    EXPECT_EQ(ProgramAudioSlot(*db, p), -1);
    ProgInput in = ShowProgram(*db, p);
    EXPECT_EQ(in.aud, "201");
    in.aud = "555";
    ProgValues v;
    ASSERT_FALSE(CheckProgram(in, v).has_value());
    ChangeProgram(*db, p, v);
    EXPECT_EQ(db->Prog.data[p].AudPid, "555");
    EXPECT_EQ(GetU16(db->Prog.rec[p], 14) & 0x1FFF, 555);
    EXPECT_EQ(db->Audio.rec[0], track);
}

TEST(TransponderEditor, ValidationOrderAndRanges) {
    const auto check = [](TpInput in) {
        TpValues v;
        return CheckTransponder(in, v);
    };
    const auto refused = [&](TpInput in, TpField field, bool clear) {
        const auto r = check(in);
        ASSERT_TRUE(r.has_value());
        EXPECT_EQ(r->field, field);
        EXPECT_EQ(r->message, msg::IllegalData);
        EXPECT_EQ(r->clear, clear);
    };
    refused({"x", "x", -1, -1}, TpField::Freq, true);
    refused({"999", "x", 0, 0}, TpField::Sym, true);      // digits of both first
    refused({"999", "50000", 0, 0}, TpField::Freq, true); // then the ranges
    refused({"12751", "27500", 0, 0}, TpField::Freq, true);
    refused({"12750", "45001", 0, 0}, TpField::Sym, true);
    refused({"12750", "27500 ", 0, 0}, TpField::Sym, true);
    refused({"12750", "999", 0, 0}, TpField::Sym, true);
    refused({"12750", "45000", 1, -1}, TpField::Fec, false);
    refused({"12750", "45000", -1, 6}, TpField::Pol, false);
    TpValues v;
    ASSERT_FALSE(CheckTransponder({"01000", "1000", 1, 6}, v).has_value());
    EXPECT_EQ(v.freq, 1000);
    EXPECT_EQ(v.sym, 1000);
    EXPECT_EQ(v.pol, 1);
    EXPECT_EQ(v.fec, 6);
}

TEST(TransponderEditor, ChangeKeepsForeignBitsAndAddWritesAFreshRecord) {
    auto db = testdb::Empty();
    AddSat(*db, {"A", 192});
    const int tp = AddTp(*db, 0, 11000, false, 22000, 0);
    TpRec& r = db->Tp.rec[tp];
    r[1] |= 0xC0;
    r[2] |= 0x01;
    r[3] = 0x12;
    r[8] = 1, r[9] = 2, r[10] = 3, r[11] = 4;
    db->Tp.data[tp] = DecodeTp(r);
    TpInput in = ShowTransponder(*db, tp);
    EXPECT_EQ(in.freq, "11000");
    EXPECT_EQ(in.pol, 0);
    in.freq = "01000";
    in.sym = "45000";
    in.pol = 1;
    in.fec = 5;
    TpValues v;
    ASSERT_FALSE(CheckTransponder(in, v).has_value());
    ChangeTransponder(*db, tp, v);
    const TpRec want = {0xE8, 0xC3, 0x57, 0x12, 0, 1, 0xC8, 0xAF, 1, 2, 3, 4};
    EXPECT_EQ(r, want);
    EXPECT_EQ(DecodedDifferences(db->Tp.data[tp], DecodeTp(r)), "");
    EXPECT_EQ(db->Tp.data[tp].Freq, "1000");

    int added = -1;
    ASSERT_TRUE(AddTransponder(*db, SatSlot(0), {12000, 27500, 0, 3}, &added).ok());
    EXPECT_EQ(added, 1);
    const TpRec fresh = {0xE0, 0x2E, 0x32, 0xFF, 0, 2, 0x6C, 0x6B, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(db->Tp.rec[added], fresh);
    EXPECT_EQ(db->Tp.data[added].TpNo, 2u);
    EXPECT_EQ(db->TpCount, 2);
    EXPECT_EQ(db->SatTpCounts[0], 2);
}

TEST(TransponderEditor, FixedLnbVoltageLocksThePolarityOnlyWhenChanging) {
    auto db = testdb::Empty();
    AddSat(*db, {"13V", 192, 9750, 10600, 1, 0, 0, 2});
    AddSat(*db, {"18V", 130, 9750, 10600, 1, 0, 0, 3});
    AddSat(*db, {"switched", 282, 9750, 10600, 1, 0, 0, 1});
    for (int s = 0; s < 3; ++s) AddTp(*db, s, 11000, false, 22000, 0);
    EXPECT_FALSE(TpPolarityEnabled(*db, 0, false));
    EXPECT_FALSE(TpPolarityEnabled(*db, 1, false));
    EXPECT_TRUE(TpPolarityEnabled(*db, 2, false));
    EXPECT_TRUE(TpPolarityEnabled(*db, 0, true));
}

namespace {

std::unique_ptr<Database> OneSat(int type, int low, int high) {
    auto db = testdb::Empty();
    AddSat(*db, {"Sat", 192, low, high, type, 0, 2, 1, 3});
    AddTp(*db, 0, 11000, false, 22000, 0);
    return db;
}

std::optional<FieldRefusal<SatField>> Apply(Database& db, SatInput in) {
    SatValues v;
    auto r = CheckSatellite(in, v);
    if (!r) ChangeSatellite(db, 0, v);
    return r;
}

} // namespace

TEST(SatelliteEditor, ShowsTheStoredSettings) {
    auto db = OneSat(kLnbSingle, 10600, 10600);
    const SatView view = ShowSatellite(*db, 0);
    EXPECT_EQ(view.input.name, "Sat");
    EXPECT_EQ(view.input.longitude, "19.2");
    EXPECT_EQ(view.input.type, kLnbSingle);
    EXPECT_EQ(view.input.low, "10600");
    EXPECT_EQ(view.input.diseqc10, 2);
    EXPECT_EQ(view.input.power, 1);
    EXPECT_EQ(view.input.diseqc11, 3);
    EXPECT_EQ(view.input.tone22k, 0);
    EXPECT_EQ(view.lists.lowItems.size(), 10u);
    EXPECT_TRUE(view.lists.toneEnabled);
    EXPECT_EQ(view.motorText, "OFF");
    EXPECT_TRUE(view.warning.empty());
}

TEST(SatelliteEditor, TwentyTwoKilohertzRules) {
    auto db = OneSat(kLnbSingle, 9750, 9750);
    db->Sat.data[0].Tone22K = 2;
    SatView view = ShowSatellite(*db, 0);
    EXPECT_EQ(view.lists.toneItems, std::vector<std::string>{"Auto"});
    EXPECT_FALSE(view.lists.toneEnabled);
    EXPECT_EQ(view.input.tone22k, 2);

    db->Sat.data[0].Tone22K = 7;
    view = ShowSatellite(*db, 0);
    EXPECT_EQ(view.warning, "22 K Setting error!");
    EXPECT_EQ(view.input.tone22k, -1);
    db->Sat.rec[0][10] = 7;
    ASSERT_FALSE(Apply(*db, view.input));
    EXPECT_EQ(db->Sat.rec[0][10], 7); // no selection keeps the stored value
    EXPECT_EQ(Tone22kValue("Auto"), 2);
    EXPECT_EQ(Tone22kValue("ON"), 1);
    EXPECT_EQ(Tone22kValue(""), -1);

    EXPECT_FALSE(LnbTypeLists(kLnbUniversal).toneEnabled);
    EXPECT_FALSE(LnbTypeLists(kLnbOneCable).lowEnabled);
    EXPECT_TRUE(LnbTypeLists(kLnbOneCable).lowItems.empty());
}

TEST(SatelliteEditor, TypeAndLowChangePresets) {
    SatData stored;
    stored.LnbType = kLnbSingle;
    stored.LnbLow = "10750";
    stored.LnbHigh = "10750";
    LnbPreset p = LnbTypePreset(stored, kLnbUniversal);
    EXPECT_EQ(p.low, "9750");
    EXPECT_EQ(p.high, "10600");
    EXPECT_EQ(p.tone22k, 1);
    p = LnbTypePreset(stored, kLnbSingle);
    EXPECT_EQ(p.low, "10750");
    EXPECT_EQ(p.high, "10750");
    p = LnbTypePreset(stored, kLnbOneCable);
    EXPECT_EQ(p.low, "05150");
    EXPECT_EQ(p.high, "05750");
    EXPECT_EQ(p.tone22k, 0);

    stored.LnbType = kLnbUniversal;
    stored.LnbHigh = "11300";
    p = LnbTypePreset(stored, kLnbUniversal);
    EXPECT_EQ(p.high, "11300");
    EXPECT_EQ(LnbTypePreset(stored, kLnbSingle).low, "5150");

    p = LnbLowChange(kLnbUniversal, "9750/10750", "10600");
    EXPECT_EQ(p.low, "9750");
    EXPECT_EQ(p.high, "10750");
    p = LnbLowChange(kLnbUniversal, "9999", "10600");
    EXPECT_EQ(p.high, "10600");
    EXPECT_EQ(LnbLowChange(kLnbSingle, "11300", "5150").high, "11300");
    EXPECT_EQ(LnbLowChange(kLnbOneCable, "1", "2").low, "05150");
}

TEST(SatelliteEditor, LowAndHighOscillators) {
    auto db = OneSat(kLnbUniversal, 9750, 10750);
    SatInput in = ShowSatellite(*db, 0).input;
    in.low = "5150"; // a Universal LNB always saves 9750
    ASSERT_FALSE(Apply(*db, in));
    EXPECT_EQ(GetU16(db->Sat.rec[0], 0), 9750);
    EXPECT_EQ(GetU16(db->Sat.rec[0], 2), 10750);

    in.type = kLnbOneCable;
    const LnbPreset p = LnbTypePreset(db->Sat.data[0], kLnbOneCable);
    in.low = p.low;
    in.high = p.high;
    ASSERT_FALSE(Apply(*db, in));
    EXPECT_EQ(GetU16(db->Sat.rec[0], 0), 5150);
    EXPECT_EQ(GetU16(db->Sat.rec[0], 2), 5750);
    EXPECT_EQ(db->Sat.data[0].LnbHigh, "05750");
    EXPECT_EQ(db->Sat.data[0].LnbLow, "5150");
    EXPECT_EQ(db->Sat.rec[0][8], kLnbOneCable);

    in.type = kLnbSingle;
    in.low = "30000";
    in.high = "30000";
    ASSERT_FALSE(Apply(*db, in));
    in.low = "30001";
    in.high = "x";
    auto r = Apply(*db, in);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->field, SatField::High); // digits of both before the ranges
    EXPECT_FALSE(r->clear);
    in.high = "30000";
    r = Apply(*db, in);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->field, SatField::Low);
    in.low = "100";
    in.high = "30001";
    r = Apply(*db, in);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->field, SatField::High);
    EXPECT_EQ(GetU16(db->Sat.rec[0], 0), 30000);
}

TEST(SatelliteEditor, LongitudeIsStoredInTenthsRoundedToTheNearest) {
    EXPECT_EQ(LongitudeTenths("19.2"), 192);
    EXPECT_EQ(LongitudeTenths("360"), 3600);
    EXPECT_EQ(LongitudeTenths("360.0"), 3600);
    EXPECT_EQ(LongitudeTenths("0"), 0);
    EXPECT_EQ(LongitudeTenths("19."), 190);
    EXPECT_EQ(LongitudeTenths(".5"), 5);
    EXPECT_EQ(LongitudeTenths("19.25"), 193);
    EXPECT_EQ(LongitudeTenths("19.249"), 192);
    EXPECT_EQ(LongitudeTenths("359.96"), 3600);
    EXPECT_EQ(LongitudeTenths("0019.2"), 192);
    for (const char* bad : {"360.1", "360.01", "19,2", "", ".", "1.2.3", "-1", " 19", "1e2", "99999999999"})
        EXPECT_FALSE(LongitudeTenths(bad)) << bad;

    auto db = OneSat(kLnbUniversal, 9750, 10600);
    SatInput in = ShowSatellite(*db, 0).input;
    in.longitude = "28.25";
    ASSERT_FALSE(Apply(*db, in));
    EXPECT_EQ(GetU16(db->Sat.rec[0], 6), 283);
    EXPECT_EQ(db->Sat.data[0].Longitude, "28.3");
    in.longitude = "19,2";
    const auto r = Apply(*db, in);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->field, SatField::Longitude);
    EXPECT_TRUE(r->clear);
}

TEST(SatelliteEditor, StoredBytesAndTheMotorNibble) {
    auto db = OneSat(kLnbSingle, 10600, 10600);
    SatRec& r = db->Sat.rec[0];
    r[15] = 1;
    r[4] = 0x44, r[16] = 0x16, r[35] = 0x35, r[40] = 0x40;
    db->Sat.data[0] = DecodeSat(r);
    const SatRec before = r;
    SatInput in = ShowSatellite(*db, 0).input;
    EXPECT_EQ(ShowSatellite(*db, 0).motorText, "ON");
    in.name = "Eighteen chars !!!";
    in.diseqc10 = 3;
    in.diseqc11 = 16;
    in.power = 3;
    in.tone22k = 1;
    ASSERT_FALSE(Apply(*db, in));
    EXPECT_EQ(r[11], 0x13);
    EXPECT_EQ(r[13], 16);
    EXPECT_EQ(r[12], 3);
    EXPECT_EQ(r[10], 1);
    EXPECT_EQ(std::string(r.begin() + 17, r.begin() + 35), "Eighteen chars !!!");
    for (int i : {4, 5, 14, 15, 16, 35, 40}) EXPECT_EQ(r[i], before[i]) << "byte " << i;
    const SatData& d = db->Sat.data[0];
    EXPECT_EQ(d.Name, "Eighteen chars !!!");
    EXPECT_EQ(d.Diseqc10, 3);
    EXPECT_EQ(d.Diseqc11, 16);
    EXPECT_EQ(d.Tone22K, 1);

    r[15] = 0;
    db->Sat.data[0] = DecodeSat(r);
    in = ShowSatellite(*db, 0).input;
    EXPECT_EQ(in.diseqc10, -1); // byte 11 = 0x13 lies outside the list
    ASSERT_FALSE(Apply(*db, in));
    EXPECT_EQ(r[11], 0x13);
    in.diseqc10 = 3;
    ASSERT_FALSE(Apply(*db, in));
    EXPECT_EQ(r[11], 0x03);

    in.name = "Nineteen characters";
    const auto refused = Apply(*db, in);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->field, SatField::Name);
}

TEST(FavouriteNames, SlotBytesAndListText) {
    auto db = testdb::Empty();
    ASSERT_TRUE(SetFavName(*db, 2, "Fifteen chars!!").ok());
    EXPECT_EQ(std::string(db->FavNameBlock.begin() + 32, db->FavNameBlock.begin() + 47), "Fifteen chars!!");
    EXPECT_EQ(db->FavNameBlock[47], 0);
    EXPECT_EQ(db->FavNames[2], "Fifteen chars!!");
    ASSERT_TRUE(SetFavName(*db, 2, "").ok());
    EXPECT_EQ(db->FavNameBlock[32], 0);
    EXPECT_EQ(SetFavName(*db, 2, "Sixteen chars!!!").message(), msg::IllegalData);
    EXPECT_EQ(FavDialogItemText(0, "News"), "FAV.01 :  News");
    EXPECT_EQ(FavDialogItemText(2, ""), "FAV.03 :  ");
    EXPECT_EQ(FavDialogItemText(11, "Sport"), "FAV.12 :  Sport");
}

// A NUL ends a stored name, so a typed name holding one would be saved cut
// short while the lists still showed all of it.
TEST(NamesWithNul, EveryEditorRefusesThem) {
    const std::string nul("ab\0cd", 5);
    ProgInput prog = GoodProg();
    prog.name = nul;
    ExpectRefused(prog, ProgField::Name, msg::IllegalData, true);

    auto db = testdb::Empty();
    AddSat(*db, {"Astra", 192});
    SatInput sat = ShowSatellite(*db, 0).input;
    sat.name = nul;
    SatValues v;
    const auto refusal = CheckSatellite(sat, v);
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(refusal->field, SatField::Name);
    EXPECT_EQ(refusal->message, msg::IllegalData);

    EXPECT_EQ(SetFavName(*db, 0, nul).message(), msg::IllegalData);
    EXPECT_EQ(db->FavNames[0], "");
    EXPECT_EQ(db->FavNameBlock[0], 0);
}
