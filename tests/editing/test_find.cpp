// Finding programs: names compared without case over ISO 8859-1, numbers
// that find service ids and PIDs, and each condition of the filter.
#include "TestDb.h"

#include "editing/Find.h"

#include <gtest/gtest.h>

using namespace dbase;

namespace {

// One satellite with two transponders. Programs by slot:
//   0 TV "CAFÉ Noir"   sid 100            4 TV "Straße"  vid 7, scrambled, locked
//   1 radio "µRadio"   an extra track 333  5 TV "Channel 100"
//   2 TV "Sky Æther"   pvt 100, group 3    6 radio "KANAL" on the second transponder, skipped
//   3 TV "Free"        not in use (Used 0)
struct FindDb {
    std::unique_ptr<Database> db = testdb::Empty();
    int tp1 = -1, tp2 = -1;
    FindDb() {
        sample::AddSat(*db, {"Sat", 192});
        tp1 = sample::AddTp(*db, 0, 11000, false, 27500, 3);
        tp2 = sample::AddTp(*db, 0, 12000, true, 27500, 3);
        auto add = [&](const std::string& name, bool radio, int tp, int pid) {
            sample::ProgSpec p = testdb::Prog(name, radio, pid);
            return sample::AddProg(*db, tp, p);
        };
        sample::ProgSpec cafe = testdb::Prog("CAF\xC9 Noir", false, 40);
        cafe.sid = 100;
        sample::AddProg(*db, tp1, cafe);
        const int micro = add("\xB5Radio", true, tp1, 50);
        sample::AddAudio(*db, micro, 333, "eng");
        sample::ProgSpec sky = testdb::Prog("Sky \xC6ther", false, 60);
        sky.pvt = 100;
        sky.fav = 1u << 2;
        sample::AddProg(*db, tp1, sky);
        const int unused = add("Free", false, tp1, 70);
        db->Prog.data[unused].Used = 0;
        sample::ProgSpec strasse = testdb::Prog("Stra\xDF"
                                                "e",
                                                false, 80);
        strasse.vid = 7;
        strasse.scrambled = true;
        strasse.lock = true;
        sample::AddProg(*db, tp1, strasse);
        add("Channel 100", false, tp1, 90);
        sample::ProgSpec kanal = testdb::Prog("KANAL", true, 110);
        kanal.skip = true;
        sample::AddProg(*db, tp2, kanal);
    }
    std::vector<int> Find(const ProgFilter& f) const { return FindPrograms(*db, f); }
    std::vector<int> Text(const std::string& utf8) const {
        ProgFilter f;
        f.text = utf8;
        return Find(f);
    }
};

using Slots = std::vector<int>;

} // namespace

TEST(Find, NamesMatchWithoutCaseAcrossTheLatin1Range) {
    const FindDb d;
    EXPECT_EQ(d.Text("caf\xC3\xA9"), Slots{0});  // "café" finds "CAFÉ"
    EXPECT_EQ(d.Text("\xC3\xA6THER"), Slots{2}); // "æTHER" finds "Æther"
    EXPECT_EQ(d.Text("e"), (Slots{2, 4, 5}));    // "É" is not "e"; "Free" is not in use
    EXPECT_EQ(d.Text("\xE2\x84\xAA"
                     "anal"),
              Slots{6});                             // Kelvin sign folds to k
    EXPECT_EQ(d.Text("\xCE\x9Cradio"), Slots{1});    // Greek capital mu finds the micro sign
    EXPECT_EQ(d.Text("STRA\xC3\x9F"), Slots{4});     // sharp s stays itself
    EXPECT_EQ(d.Text("STRA\xE1\xBA\x9E"), Slots{4}); // capital sharp s folds to it
    // Simple folding never turns one character into two.
    EXPECT_TRUE(d.Text("strasse").empty());
    // A character no name can hold finds nothing.
    EXPECT_TRUE(d.Text("\xE6\x97\xA5").empty());
    EXPECT_EQ(d.Text(""), (Slots{0, 1, 2, 4, 5, 6}));
}

TEST(Find, TextThatIsNotUtf8IsRefused) {
    EXPECT_TRUE(CheckFilterText("caf\xC3\xA9"));
    for (const char* bad : {"caf\xE9", "\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x84"})
        EXPECT_FALSE(CheckFilterText(bad)) << bad;
    EXPECT_FALSE(FoldUtf8("\xE2\x84"));
}

TEST(Find, DigitsAloneFindServiceIdsAndPids) {
    const FindDb d;
    // sid 100 of slot 0 and the name of slot 5; not the private PID of slot 2.
    EXPECT_EQ(d.Text("100"), (Slots{0, 5}));
    EXPECT_EQ(d.Text(" 0100 "), (Slots{0})); // the name holds "100", not "0100"
    EXPECT_EQ(d.Text("7"), (Slots{4}));      // a video PID
    EXPECT_EQ(d.Text("333"), (Slots{1}));    // an extra audio track's PID
    EXPECT_EQ(d.Text("112"), (Slots{6}));    // a PMT PID
    EXPECT_EQ(TextNumber("65535"), 65535);
    EXPECT_FALSE(TextNumber("65536"));
    EXPECT_FALSE(TextNumber("1 2"));
    EXPECT_FALSE(TextNumber("-5"));
}

TEST(Find, EachConditionNarrowsTheFind) {
    const FindDb d;
    ProgFilter f;
    f.radio = true;
    EXPECT_EQ(d.Find(f), (Slots{1, 6}));
    f = {};
    f.scrambled = true;
    EXPECT_EQ(d.Find(f), Slots{4});
    f.scrambled = false;
    EXPECT_EQ(d.Find(f), (Slots{0, 1, 2, 5, 6}));
    f = {};
    f.locked = true;
    EXPECT_EQ(d.Find(f), Slots{4});
    f = {};
    f.skipped = false;
    EXPECT_EQ(d.Find(f), (Slots{0, 1, 2, 4, 5}));
    f = {};
    f.favGroup = 2;
    EXPECT_EQ(d.Find(f), Slots{2});
    f = {};
    f.serviceId = 100;
    EXPECT_EQ(d.Find(f), Slots{0});
    f = {};
    f.pid = 100; // the private PID of slot 2 does not count
    EXPECT_TRUE(d.Find(f).empty());
    f.pid = 333;
    EXPECT_EQ(d.Find(f), Slots{1});
    f = {};
    f.tp = d.tp2;
    EXPECT_EQ(d.Find(f), Slots{6});
    f = {};
    f.sat = 0;
    f.text = "a";
    f.radio = false;
    EXPECT_EQ(d.Find(f), (Slots{0, 4, 5}));
    EXPECT_FALSE(f.Empty());
    EXPECT_TRUE(ProgFilter{}.Empty());
}

TEST(Find, TheMatcherKeepsTheOrderOfAShownList) {
    const FindDb d;
    ProgFilter f;
    f.text = "R";
    const ProgMatcher m(*d.db, f);
    const std::vector<int> shown = {6, 5, 3, 1, 0, 2, -1, 5000};
    EXPECT_EQ(m.Select(shown), (Slots{3, 1, 0, 2})); // the matcher does not test Used
}
