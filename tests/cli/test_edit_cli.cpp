// The editing commands of orbitlist-cli, run in-process on files in a
// temporary folder.
#include "SampleData.h"
#include "base/Bits.h"
#include "base/Messages.h"
#include "cli/Commands.h"
#include "cli/Common.h"
#include "editing/Entries.h"
#include "format/DataFile.h"
#include "format/Image.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> Bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class EditCli : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        dir_ = fs::temp_directory_path() / ("orbitlist-edit-cli-" + std::to_string(rd()));
        fs::create_directories(dir_);
        file_ = Path("in.bin");
        fs::copy_file(std::string(ORBITLIST_TEST_DATA) + "/../../samples/sample-channel.bin", file_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    int Run(std::vector<std::string> args) {
        out_.str({});
        err_.str({});
        return cli::Run(args, out_, err_);
    }

    std::unique_ptr<dbase::Database> Load(const std::string& path) {
        auto db = dbase::NewDatabase();
        const dbase::Status s = cli::OpenInput(path, *db);
        EXPECT_TRUE(s.ok()) << s.message();
        return db;
    }

    // Saves a hand-built database as a Channel data file.
    std::string Save(dbase::Database& db, const std::string& name) {
        const std::string path = Path(name);
        EXPECT_TRUE(dbase::SaveImage(db, dbase::SaveMode::Channel, path, {true, true}).ok());
        return path;
    }

    // The sample grown to 2,200 transponders and 3,000 programs, repetitive
    // enough to fit a data file.
    std::string SaveFull(const std::string& name) {
        auto db = sample::BuildSample();
        while (db->SatCount < 20) sample::AddSat(*db, {"Filler", 100 + db->SatCount});
        for (int s = 0; db->TpCount < dbase::kTpSlots; s = (s + 1) % db->SatCount)
            if (db->SatTpCounts[s] < dbase::kMaxTpsPerSat) sample::AddTp(*db, s, 11000, false, 27500, 0);
        for (int t = 0; db->ProgCount < dbase::kProgSlots; ++t)
            while (dbase::CountTpPrograms(*db, t) < 2 && db->ProgCount < dbase::kProgSlots)
                sample::AddProg(*db, t, {"Filler"});
        return Save(*db, name);
    }

    // Expects a refusal with `message` that wrote nothing.
    void ExpectRefused(std::vector<std::string> args, const std::string& message) {
        const std::string out = Path("refused.bin");
        args.insert(args.end(), {"-o", out});
        EXPECT_EQ(Run(args), 1) << err_.str();
        std::string shown = message;
        for (char& c : shown)
            if (c == '\r') c = '\n';
        EXPECT_EQ(err_.str(), shown + "\n");
        EXPECT_FALSE(fs::exists(out));
    }

    fs::path dir_;
    std::string file_;
    std::ostringstream out_, err_;
};

} // namespace

TEST_F(EditCli, EditProgramRoundTripKeepsWhatIsNotGiven) {
    const auto before = Load(file_);
    const std::string out = Path("out.bin");
    ASSERT_EQ(Run({"edit-program", file_, "3", "--name", "Caf\xC3\xA9 TV", "--vid", "01000", "--lock", "1", "--fav",
                   "1000000000000010", "-o", out}),
              0)
        << err_.str();
    const auto after = Load(out);
    const dbase::ProgData& d = after->Prog.data[3];
    EXPECT_EQ(d.Name, "Caf\xE9 TV");
    EXPECT_EQ(d.VidPid, "1000");
    EXPECT_EQ(d.Lock, 1);
    EXPECT_EQ(d.FavMask, "1000000000000010");
    EXPECT_EQ(d.AudPid, before->Prog.data[3].AudPid);
    EXPECT_EQ(d.PcrPid, before->Prog.data[3].PcrPid);
    EXPECT_EQ(d.ServiceId, before->Prog.data[3].ServiceId);
    for (int p = 0; p < before->ProgCount; ++p)
        if (p != 3) {
            EXPECT_EQ(after->Prog.rec[p], before->Prog.rec[p]) << "program " << p;
        }
    EXPECT_EQ(fs::file_size(out), fs::file_size(file_)) << "the file keeps its kind";
}

TEST_F(EditCli, OutputMayReplaceTheInput) {
    const auto original = Bytes(file_);
    ASSERT_EQ(Run({"fav-name", file_, "16", "Z\xC3\xBCrich", "-o", file_}), 0) << err_.str();
    EXPECT_EQ(Load(file_)->FavNames[15], "Z\xFCrich");
    EXPECT_EQ(Bytes(file_ + ".bak"), original);
    const auto bytes = Bytes(file_);
    EXPECT_EQ(Run({"fav-name", file_, "1", "Sixteen chars!!!", "-o", file_}), 1);
    EXPECT_EQ(Bytes(file_), bytes);
    EXPECT_EQ(Bytes(file_ + ".bak"), original);
    for (const auto& e : fs::directory_iterator(dir_))
        EXPECT_TRUE(e.path().filename() == "in.bin" || e.path().filename() == "in.bin.bak") << e.path();
}

TEST_F(EditCli, RefusalsExitOneAndWriteNothing) {
    ExpectRefused({"edit-program", file_, "0", "--vid", "8192"}, dbase::msg::IllegalData);
    ExpectRefused({"edit-program", file_, "0", "--name", ""}, dbase::msg::EmptyField);
    ExpectRefused({"edit-program", file_, "0", "--name", "Sixteen chars!!!"}, dbase::msg::IllegalData);
    ExpectRefused({"edit-program", file_, "0", "--name", "\xE2\x82\xAC"}, dbase::msg::IllegalData); // the euro sign
    ExpectRefused({"edit-program", file_, "0", "--name", "\xFF"}, dbase::msg::IllegalData);         // not UTF-8
    ExpectRefused({"edit-program", file_, "40"}, "There is no program in slot 40!");
    ExpectRefused({"delete-program", file_, "-1"}, "There is no program in slot -1!");
    ExpectRefused({"delete-tp", file_, "35"}, "There is no transponder in slot 35!");
    ExpectRefused({"reset-sat", file_, "6"}, "There is no satellite in slot 6!");
    ExpectRefused({"delete-empty-tps", file_, "--sat", "6"}, "There is no satellite in slot 6!");
    ExpectRefused({"edit-tp", file_, "0", "--freq", "12751"}, dbase::msg::IllegalData);
    ExpectRefused({"add-tp", file_, "0", "--freq", "11000", "--sym", "999", "--pol", "H", "--fec", "Auto"},
                  dbase::msg::IllegalData);
    ExpectRefused({"edit-sat", file_, "0", "--longitude", "360.1"}, dbase::msg::IllegalData);
    ExpectRefused({"edit-sat", file_, "0", "--type", "single", "--low", "30001"}, dbase::msg::IllegalData);
    ExpectRefused({"edit-sat", file_, "0", "--name", "Nineteen characters"}, dbase::msg::IllegalData);
    ExpectRefused({"fav-name", file_, "2", "Sixteen chars!!!"}, dbase::msg::IllegalData);
    ExpectRefused({"delete-program", Path("missing.bin"), "0"}, dbase::msg::FileMissing);
}

TEST_F(EditCli, MalformedCommandLinesExitTwo) {
    const std::string out = Path("x.bin");
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"delete-program", file_, "1"},
             {"delete-program", file_, "x", "-o", out},
             {"edit-program", file_, "0", "--lock", "2", "-o", out},
             {"edit-program", file_, "0", "--fav", "0101", "-o", out},
             {"edit-program", file_, "0", "--colour", "red", "-o", out},
             {"add-program", file_, "0", "tv", "--name", "X", "--vid", "1", "--aud", "2", "-o", out},
             {"add-program", file_, "0", "film", "--name", "X", "--vid", "1", "--aud", "2", "--pcr", "3", "-o", out},
             {"add-tp", file_, "0", "--freq", "11000", "--sym", "27500", "--pol", "X", "--fec", "Auto", "-o", out},
             {"edit-tp", file_, "0", "--fec", "9/10", "-o", out},
             {"edit-sat", file_, "0", "--type", "dual", "-o", out},
             {"edit-sat", file_, "0", "--diseqc10", "5", "-o", out},
             {"edit-sat", file_, "0", "--power", "14", "-o", out},
             {"fav-name", file_, "0", "name", "-o", out},
             {"import-ini", file_, "0", "-o", out},
         }) {
        EXPECT_EQ(Run(args), 2) << args[0] << " " << args[3];
        EXPECT_FALSE(fs::exists(out));
    }
}

TEST_F(EditCli, AddsReportTheirSlotAndKeepTheLimits) {
    const std::string out = Path("out.bin");
    ASSERT_EQ(Run({"add-program", file_, "34", "radio", "--name", "New radio", "--vid", "0", "--aud", "8191", "--pcr",
                   "33", "-o", out}),
              0)
        << err_.str();
    EXPECT_EQ(out_.str(), "Added program in slot 40.\n");
    auto db = Load(out);
    EXPECT_EQ(db->ProgCount, 41);
    EXPECT_EQ(db->Prog.data[40].IsRadio, 1);
    EXPECT_EQ(db->Prog.data[40].PvtPid, "8191");
    EXPECT_EQ(db->Prog.rec[40][9], 4);

    ASSERT_EQ(Run({"add-tp", file_, "5", "--freq", "3800", "--sym", "27500", "--pol", "V", "--fec", "7/8", "-o", out}),
              0);
    EXPECT_EQ(out_.str(), "Added transponder in slot 35.\n");
    db = Load(out);
    EXPECT_EQ(db->Tp.data[35].TpNo, 3u);
    EXPECT_EQ(db->Tp.data[35].FecText, "7/8");
    EXPECT_EQ(db->SatTpCounts[5], 3);

    // 120 programs on one transponder, 150 transponders on one satellite.
    auto full = sample::BuildSample();
    for (int i = full->SatTpCounts[0]; i < dbase::kMaxTpsPerSat; ++i) sample::AddTp(*full, 0, 11000, 0, 27500, 0);
    while (dbase::CountTpPrograms(*full, 1) < dbase::kMaxProgsPerTp) sample::AddProg(*full, 1, {"filler"});
    const std::string limits = Save(*full, "limits.bin");
    ExpectRefused({"add-tp", limits, "0", "--freq", "11000", "--sym", "27500", "--pol", "H", "--fec", "Auto"},
                  dbase::msg::MaxTranspondersPerSat);
    ExpectRefused({"add-program", limits, "1", "tv", "--name", "X", "--vid", "1", "--aud", "2", "--pcr", "3"},
                  dbase::msg::MaxProgramsPerTp);
    const std::string packedPath = SaveFull("full.bin");
    ExpectRefused({"add-program", packedPath, "0", "tv", "--name", "X", "--vid", "1", "--aud", "2", "--pcr", "3"},
                  "The max number of Program is 3,000,\r\rThe Program can not be added!");
    ExpectRefused({"add-tp", packedPath, "0", "--freq", "11000", "--sym", "27500", "--pol", "H", "--fec", "Auto"},
                  dbase::msg::MaxTransponders);
}

TEST_F(EditCli, DeletesAndReset) {
    const std::string out = Path("out.bin");
    ASSERT_EQ(Run({"delete-tp", file_, "33", "-o", out}), 0);
    EXPECT_EQ(out_.str(), "");
    ASSERT_EQ(Run({"delete-tp", out, "34", "-o", out}), 0);
    EXPECT_EQ(out_.str(), "The satellite's last transponder was replaced by the placeholder in slot 33.\n");
    auto db = Load(out);
    EXPECT_EQ(db->Tp.rec[33], dbase::PlaceholderTpRec(5));
    EXPECT_EQ(db->TpCount, 34);

    // Satellite 4 carries programs on its second and third transponders only.
    ASSERT_EQ(Run({"delete-empty-tps", file_, "--sat", "4", "-o", out}), 0);
    EXPECT_EQ(out_.str(), "Deleted 2 empty transponders.\n");
    db = Load(out);
    EXPECT_EQ(db->TpCount, 33);
    EXPECT_EQ(db->SatTpCounts[4], 2);
    EXPECT_EQ(db->Tp.data[29].Used, 0);
    EXPECT_EQ(db->Tp.data[30].TpNo, 1u);
    EXPECT_EQ(db->Tp.data[31].TpNo, 2u);
    EXPECT_EQ(db->Tp.data[32].Used, 0);
    ASSERT_EQ(Run({"delete-empty-tps", file_, "-o", out}), 0);
    EXPECT_EQ(out_.str(), "Deleted 4 empty transponders.\n");
    EXPECT_EQ(Load(out)->TpCount, 31);

    const int progs = Load(file_)->ProgCount;
    ASSERT_EQ(Run({"delete-program", file_, "0", "-o", out}), 0);
    EXPECT_EQ(Load(out)->ProgCount, progs - 1);

    ASSERT_EQ(Run({"reset-sat", file_, "0", "-o", out}), 0);
    db = Load(out);
    EXPECT_EQ(db->Sat.data[0].Name, "NEWSAT");
    EXPECT_EQ(db->SatTpCounts[0], 1);
    EXPECT_EQ(db->TpCount, 26);
}

TEST_F(EditCli, EditSatelliteAppliesTypePresetsFirst) {
    const std::string out = Path("out.bin");
    // Satellite 5 is a Single LNB at 5150 MHz.
    ASSERT_EQ(Run({"edit-sat", file_, "5", "--type", "universal", "-o", out}), 0) << err_.str();
    auto db = Load(out);
    EXPECT_EQ(db->Sat.data[5].LnbLow, "9750");
    EXPECT_EQ(db->Sat.data[5].LnbHigh, "10600");
    EXPECT_EQ(db->Sat.data[5].LnbType, 1);
    EXPECT_EQ(db->Sat.data[5].Tone22K, 1);

    ASSERT_EQ(Run({"edit-sat",   file_,         "5",          "--type", "Universal", "--high", "11300",
                   "--diseqc10", "3",           "--diseqc11", "16",     "--power",   "18",     "--22k",
                   "auto",       "--longitude", "10.05",      "--name", "Intelsat",  "-o",     out}),
              0);
    db = Load(out);
    const dbase::SatData& d = db->Sat.data[5];
    EXPECT_EQ(d.LnbHigh, "11300");
    EXPECT_EQ(d.Diseqc10, 3);
    EXPECT_EQ(d.Diseqc11, 16);
    EXPECT_EQ(d.LnbPower, 3);
    EXPECT_EQ(d.Tone22K, 2);
    EXPECT_EQ(d.Longitude, "10.1");
    EXPECT_EQ(d.Name, "Intelsat");

    ASSERT_EQ(Run({"edit-sat", file_, "4", "--low", "11300", "-o", out}), 0);
    db = Load(out);
    EXPECT_EQ(db->Sat.data[4].LnbLow, "11300");
    EXPECT_EQ(db->Sat.data[4].LnbHigh, "11300");

    // With a fixed LNB voltage the window locks the polarity; the option still applies.
    ASSERT_EQ(Run({"edit-tp", out, "29", "--pol", "V", "--fec", "auto", "-o", out}), 0);
    EXPECT_EQ(Load(out)->Tp.data[29].PolText, "V");
}

TEST_F(EditCli, ImportIni) {
    const std::string out = Path("out.bin");
    const std::string ini = std::string(ORBITLIST_TEST_DATA) + "/ini/";
    ASSERT_EQ(Run({"import-ini", file_, "2", ini + "channelscan-0100.ini", "-o", out}), 0) << err_.str();
    EXPECT_EQ(err_.str(), "One SAT have excced tp (150)!\n");
    EXPECT_EQ(out_.str(), "Open ini file add Add Tp success!\n");
    auto db = Load(out);
    EXPECT_EQ(db->Sat.data[2].Name, "Eutelsat 10A");
    EXPECT_EQ(db->Sat.data[2].Longitude, "10");
    EXPECT_EQ(db->SatTpCounts[2], 150);
    EXPECT_EQ(db->TpCount, 35 - 6 + 150);

    ASSERT_EQ(Run({"import-ini", file_, "0", ini + "channelscan-0192.ini", "-o", out}), 0);
    // The count and the first ten lines, quoted.
    const std::string notice = err_.str();
    EXPECT_EQ(notice.rfind("26 transponder lines can not be stored and were left out; the first 10 are:\n"
                           "line 120: \"108=18507,V,3630,23,S2;8PSK\"\n",
                           0),
              0u)
        << notice;
    EXPECT_EQ(std::count(notice.begin(), notice.end(), '\n'), 11);
    EXPECT_EQ(Load(out)->SatTpCounts[0], 107);

    ExpectRefused({"import-ini", file_, "2", ini + "SOURCES.md"}, dbase::msg::IniWrongFile);
    ExpectRefused({"import-ini", file_, "2", ini + "absent.ini"}, dbase::msg::FileMissing);
    ExpectRefused({"import-ini", file_, "6", ini + "channelscan-0100.ini"}, "There is no satellite in slot 6!");
    std::ofstream(Path("plain.ini")) << "just text\n";
    ExpectRefused({"import-ini", file_, "2", Path("plain.ini")}, dbase::msg::IniNoSections);

    const std::string packed = SaveFull("full.bin");
    ExpectRefused({"import-ini", packed, "0", ini + "channelscan-0100.ini"}, "Number of Tp exceed!");
}

// Every command that writes a data file keeps the file it replaces as
// OUT.bak, once per run; --no-backup turns that off.
TEST_F(EditCli, AReplacedFileIsKeptAsBakUnlessNoBackup) {
    const std::string out = Path("out.bin"), bak = out + ".bak";
    ASSERT_EQ(Run({"save", file_, out}), 0) << err_.str();
    EXPECT_FALSE(fs::exists(bak)) << "nothing was there to keep";
    const auto saved = Bytes(out);
    ASSERT_EQ(Run({"sort", file_, "tv", "name", "-o", out}), 0) << err_.str();
    EXPECT_EQ(Bytes(bak), saved);
    const auto sorted = Bytes(out);
    const std::string script = Path("script.txt");
    std::ofstream(script) << "mark 0 lock\n";
    ASSERT_EQ(Run({"batch", file_, script, "-o", out}), 0) << err_.str();
    EXPECT_EQ(Bytes(bak), sorted);

    fs::remove(bak);
    ASSERT_EQ(Run({"mark", file_, "1", "skip", "-o", out, "--no-backup"}), 0) << err_.str();
    ASSERT_EQ(Run({"save", file_, out, "--as", "default", "--no-backup"}), 0) << err_.str();
    ASSERT_EQ(Run({"batch", file_, script, "-o", out, "--no-backup"}), 0) << err_.str();
    EXPECT_FALSE(fs::exists(bak));
    EXPECT_EQ(err_.str(), "");

    // A backup that can not be written stops the command; one that has no
    // place lets it go on and says so.
    fs::create_directory(bak);
    const auto before = Bytes(out);
    EXPECT_EQ(Run({"save", file_, out}), 1);
    EXPECT_NE(err_.str().find(bak + " can not be written: a folder of that name is in the way"), std::string::npos)
        << err_.str();
    EXPECT_EQ(Bytes(out), before);
    const std::string longName = Path(std::string(252, 'n'));
    fs::copy_file(file_, longName);
    EXPECT_EQ(Run({"delete-program", file_, "0", "-o", longName}), 0);
    EXPECT_EQ(err_.str(), "No backup of " + longName +
                              " can be made (its name has no room for \".bak\"); it is written without one.\n");

    // The option belongs to the command line, not to a script's lines or to write.
    std::ofstream(script) << "mark 0 lock --no-backup\n";
    EXPECT_EQ(Run({"batch", file_, script, "-o", out}), 2);
    EXPECT_EQ(Run({"write", "--port", "COM1", file_, "--no-backup"}), 2);
}
