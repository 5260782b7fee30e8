// The kind a refusal carries: callers act on it instead of on the message,
// so each kind has to come from the place that knows it.
#include "TestUtil.h"

#include "base/Files.h"
#include "base/Messages.h"
#include "editing/Entries.h"
#include "editing/Reorder.h"
#include "format/DataFile.h"
#include "model/Model.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace dbase;
using testutil::TempDir;

TEST(StatusCode, OkAndRefusalsAndRewording) {
    EXPECT_EQ(Status::Ok().code(), StatusCode::Ok);
    EXPECT_TRUE(Status().ok());
    // A refusal is never ok, even when made with the code of success.
    EXPECT_FALSE(Status::Error(StatusCode::Ok, "x").ok());
    EXPECT_EQ(Status::Error(StatusCode::Ok, "x").code(), StatusCode::Invalid);

    const Status io = Status::Error(StatusCode::Io, "write failed");
    const Status told = io.Reworded("a.bin: " + io.message());
    EXPECT_EQ(told.code(), StatusCode::Io);
    EXPECT_EQ(told.message(), "a.bin: write failed");
    // Success stays success, with nothing to tell.
    EXPECT_TRUE(Status::Ok().Reworded("ignored").ok());
    EXPECT_EQ(Status::Ok().Reworded("ignored").message(), "");
}

TEST(StatusCode, FileRefusalsTellMissingFromUnusableFromDamaged) {
    TempDir dir;
    const std::string missing = dir.path("missing.bin");
    const Status gone = CheckInputFile(missing);
    EXPECT_EQ(gone.code(), StatusCode::NotFound);
    EXPECT_EQ(gone.message(), msg::FileMissing);
    EXPECT_EQ(CheckInputFile(dir.path("no/such/folder.bin")).code(), StatusCode::NotFound);
    EXPECT_EQ(CheckInputFile("").code(), StatusCode::NotFound);
    // A folder is there, but it is no file to open: the recent-file list
    // keeps it, which it does only for a refusal other than NotFound.
    EXPECT_EQ(CheckInputFile(dir.dir().string()).code(), StatusCode::Refused);

    EXPECT_EQ(CheckFileSize(kChannelFileSize - 1, true).code(), StatusCode::Invalid);
    const std::string big = dir.path("big.bin");
    testutil::WriteFile(big, std::vector<uint8_t>(100, 0));
    std::vector<uint8_t> bytes;
    EXPECT_EQ(ReadFileLimited(big, 99, "too large", bytes).code(), StatusCode::TooLarge);
    EXPECT_TRUE(bytes.empty());

    const std::string junk = dir.path("junk.bin");
    testutil::WriteFile(junk, std::vector<uint8_t>(kChannelFileSize, 0xFF));
    auto db = NewDatabase();
    const Status damaged = OpenImageFile(junk, true, *db);
    EXPECT_EQ(damaged.code(), StatusCode::Damaged) << damaged.message();

    EXPECT_EQ(CheckDestination(dir.dir().string()).code(), StatusCode::Refused);
}

TEST(StatusCode, EditRefusalsTellEmptySlotsFromBadRequests) {
    auto db = NewDatabase();
    EXPECT_EQ(CheckSatSlot(*db, 0).code(), StatusCode::NotFound);
    EXPECT_EQ(CheckTpSlot(*db, 0).code(), StatusCode::NotFound);
    EXPECT_EQ(CheckProgSlot(*db, 0).code(), StatusCode::NotFound);
    EXPECT_EQ(CheckSatSwap(*db, 0, 1).code(), StatusCode::NotFound);
}
