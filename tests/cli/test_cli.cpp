#include "SampleData.h"
#include "TestUtil.h"

#include "cli/Commands.h"
#include "format/DataFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using testutil::ReadFile;
using testutil::TempDir;

namespace {

struct Result {
    int status;
    std::string out, err;
};

Result RunCli(const cli::Args& args) {
    std::ostringstream out, err;
    const int status = cli::Run(args, out, err);
    return {status, out.str(), err.str()};
}

std::string WriteSample(const TempDir& dir, bool is256K = true) {
    auto db = sample::BuildSample();
    const std::string path = dir.path(is256K ? "sample.bin" : "sample128.bin");
    EXPECT_TRUE(dbase::SaveImage(*db, dbase::SaveModeForSave(is256K), path, {is256K, true}).ok());
    return path;
}

} // namespace

TEST(CliInfo, PrintsOneKeyValueLinePerField) {
    TempDir dir;
    const Result r = RunCli({"info", WriteSample(dir)});
    EXPECT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.out);
    std::vector<std::string> keys;
    for (std::string line; std::getline(lines, line);) keys.push_back(line.substr(0, line.find(": ")));
    EXPECT_EQ(keys, (std::vector<std::string>{"kind", "size", "placement", "streamLength", "container", "SatCount",
                                              "TpCount", "ProgCount", "AudioCount", "TpAlignWord"}));
    EXPECT_NE(r.out.find("kind: channel\nsize: 262144\nplacement: front\n"), std::string::npos);
    EXPECT_NE(r.out.find("SatCount: 6\nTpCount: 35\nProgCount: 40\nAudioCount: 11\n"), std::string::npos);
}

TEST(CliDump, JsonHoldsTextsAsStringsAndNamesAsUtf8) {
    TempDir dir;
    auto db = sample::BuildSample();
    db->Prog.rec[0][24] = 0xE9; // é in ISO 8859-1
    db->Prog.data[0].Name[0] = '\xE9';
    const std::string path = dir.path("latin.bin");
    ASSERT_TRUE(dbase::SaveImage(*db, dbase::SaveMode::Channel, path, {true, true}).ok());
    const Result r = RunCli({"dump", path, "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.front(), '{');
    EXPECT_NE(r.out.find("\"file\": {\"kind\": \"channel\", \"size\": 262144, \"placement\": \"front\""),
              std::string::npos);
    EXPECT_NE(r.out.find("\"Name\": \"\xC3\xA9lpen TV\""), std::string::npos);
    EXPECT_NE(r.out.find("{\"slot\": 0, \"Name\": \"Astra 19.2E\", \"LnbLow\": \"9750\", \"LnbHigh\": \"10600\", "
                         "\"Longitude\": \"19.2\", \"LnbType\": 1"),
              std::string::npos);
    EXPECT_NE(r.out.find("\"favourites\": [\n  {\"group\": 1, \"Name\": \"Movie\", \"Locked\": 0}"), std::string::npos);
    EXPECT_NE(r.out.find("\"CaIds\": [0,0,0,0]"), std::string::npos);
    // Text dump is for people: just check it runs and names the tables.
    const Result t = RunCli({"dump", path});
    EXPECT_EQ(t.status, 0);
    EXPECT_NE(t.out.find("Transponders"), std::string::npos);
}

TEST(CliSave, WritesTheRequestedForm) {
    TempDir dir;
    const std::string in = WriteSample(dir);
    EXPECT_EQ(RunCli({"save", in, dir.path("same.bin")}).status, 0);
    EXPECT_EQ(ReadFile(dir.path("same.bin")), ReadFile(in));
    EXPECT_EQ(RunCli({"save", in, dir.path("small.bin"), "--as", "default"}).status, 0);
    EXPECT_EQ(ReadFile(dir.path("small.bin")).size(), dbase::kDefaultFileSize);
    EXPECT_EQ(RunCli({"save", dir.path("small.bin"), dir.path("big.bin"), "--as=channel"}).status, 0);
    EXPECT_EQ(ReadFile(dir.path("big.bin")).size(), dbase::kChannelFileSize);
}

TEST(CliErrors, RefusalsExitOneAndMalformedLinesExitTwo) {
    TempDir dir;
    Result r = RunCli({"info", dir.path("none.bin")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Find an error, when opening this file,\n\nMaybe it inexistent!\n");
    testutil::WriteFile(dir.path("odd.bin"), std::vector<uint8_t>(5000, 0));
    r = RunCli({"save", dir.path("odd.bin"), dir.path("o.bin")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "File length can not be matched!\n\nPlease select the 256K normal data!\n");
    EXPECT_FALSE(std::filesystem::exists(dir.path("o.bin")));
    // All zeros: a back container with an empty stream and matching (zero) checksums.
    auto zeros = std::vector<uint8_t>(dbase::kChannelFileSize, 0);
    testutil::WriteFile(dir.path("zeros.bin"), zeros);
    r = RunCli({"info", dir.path("zeros.bin")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Decompress Error!\n");
    zeros[dbase::kBackStart + 500] = 1;
    testutil::WriteFile(dir.path("null.bin"), zeros);
    r = RunCli({"dump", dir.path("null.bin"), "--json"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "File is null!\n");
    EXPECT_TRUE(r.out.empty());

    EXPECT_EQ(RunCli({"frobnicate"}).status, 2);
    EXPECT_EQ(RunCli({}).status, 2);
    EXPECT_EQ(RunCli({"info"}).status, 2);
    EXPECT_EQ(RunCli({"info", "a", "b"}).status, 2);
    EXPECT_EQ(RunCli({"dump", "a", "--xml"}).status, 2);
    EXPECT_EQ(RunCli({"save", "a", "b", "--as"}).status, 2);
    EXPECT_EQ(RunCli({"save", "a", "b", "--as", "huge"}).status, 2);
}

// A huge input is refused by its size: exit 1 with the open workflow's
// message, not an abort. The program itself is run, under a memory limit
// that an attempt to read the file whole would break.
TEST(CliErrors, AHugeInputExitsOneWithTheSizeMessage) {
    TempDir dir;
    const std::string huge = dir.path("huge.bin");
    testutil::WriteFile(huge, {});
    ASSERT_EQ(::truncate(huge.c_str(), 8LL << 30), 0);
    const Result r = RunCli({"info", huge});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "File length can not be matched!\n\nPlease select the 128K default data!\n");
    const std::string log = dir.path("err.txt");
#if defined(__SANITIZE_ADDRESS__)
    const std::string limit; // the sanitizer reserves more address space than any limit would allow
#else
    const std::string limit = "ulimit -v 4000000; ";
#endif
    const std::string command =
        limit + std::string(ORBITLIST_CLI_EXE) + " save " + huge + " " + dir.path("out.bin") + " 2>" + log;
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    const auto text = ReadFile(log);
    EXPECT_EQ(std::string(text.begin(), text.end()),
              "File length can not be matched!\n\nPlease select the 128K default data!\n");
}

// Destinations that are no regular files are refused before the input is
// read and before anything is opened: nothing blocks on a pipe.
TEST(CliErrors, DestinationsThatAreNoRegularFilesAreRefusedAtOnce) {
    TempDir dir;
    const std::string in = WriteSample(dir), fifo = dir.path("fifo.bin");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int status = testutil::InChild(
        false,
        [&] {
            const std::string refusal =
                "The file can not be saved!\n\n" + fifo + " is a named pipe, not a regular file.\n";
            for (const cli::Args& args :
                 {cli::Args{"save", in, fifo}, cli::Args{"fav-lock", in, "1", "1", "-o", fifo},
                  cli::Args{"sort", in, "tv", "name", "-o", fifo},
                  cli::Args{"read", "--port", "/dev/no-such-port", "--kind", "channel", fifo}}) {
                const Result r = RunCli(args);
                if (r.status != 1 || r.err != refusal) {
                    std::fprintf(stderr, "%s: %d %s", args[0].c_str(), r.status, r.err.c_str());
                    return 1;
                }
            }
            // An input pipe is refused the same way, also one to be sent to the receiver.
            const std::string opened =
                "The file can not be opened!\n\n" + fifo + " is a named pipe, not a regular file.\n";
            for (const cli::Args& args :
                 {cli::Args{"info", fifo}, cli::Args{"write", "--port", "/dev/no-such-port", fifo}}) {
                const Result r = RunCli(args);
                if (r.status != 1 || r.err != opened) return 2;
            }
            return 0;
        },
        10);
    EXPECT_EQ(status, 0) << "97: a command blocked on the pipe";
}
