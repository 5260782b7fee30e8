#include "SampleData.h"
#include "TestUtil.h"

#include "base/Bits.h"
#include "base/Messages.h"
#include "document/Document.h"
#include "format/DataFile.h"
#include "format/Image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

using namespace dbase;
using testutil::ReadFile;
using testutil::TempDir;
using testutil::WriteFile;

namespace {

// Writes the sample as a data file of the given form and returns its path.
std::string WriteSample(const TempDir& dir, const std::string& name, bool is256K, bool back = false) {
    auto db = sample::BuildSample();
    const std::string path = dir.path(name);
    EXPECT_TRUE(SaveImage(*db, SaveModeForSave(is256K), path, {is256K, !back}).ok());
    return path;
}

bool AllZero(const std::vector<uint8_t>& b, size_t from, size_t to) {
    for (size_t i = from; i < to; ++i)
        if (b[i] != 0) return false;
    return true;
}

} // namespace

TEST(OpenImageFile, ChecksTheFileBeforeReadingIt) {
    TempDir dir;
    auto db = NewDatabase();
    EXPECT_EQ(OpenImageFile(dir.path("missing.bin"), true, *db).message(), msg::FileMissing);
    const std::string def = WriteSample(dir, "def.bin", false);
    const std::string chan = WriteSample(dir, "chan.bin", true);
    EXPECT_EQ(OpenImageFile(def, true, *db).message(), msg::SizeSmall);
    EXPECT_EQ(OpenImageFile(chan, false, *db).message(), msg::SizeLarge);
    WriteFile(dir.path("short.bin"), std::vector<uint8_t>(1000, 0));
    EXPECT_EQ(OpenImageFile(dir.path("short.bin"), KindFromSize(1000), *db).message(), msg::SizeSmall);
    EXPECT_EQ(db->SatCount, 0) << "a refused file leaves the database as it was";

    OpenedFile opened;
    ASSERT_TRUE(OpenImageFile(chan, true, *db, &opened, dir.path("work.bin")).ok());
    EXPECT_EQ(opened.size, kChannelFileSize);
    EXPECT_TRUE(opened.container.front);
    EXPECT_EQ(ReadFile(dir.path("work.bin")), BuildImage(*db)); // the decompressed image
}

TEST(SaveImage, TheFourFormsOfTheDestination) {
    TempDir dir;
    const std::string back = WriteSample(dir, "back.bin", true, true);
    const std::string def = WriteSample(dir, "def.bin", false);

    auto db = NewDatabase();
    OpenedFile opened;
    ASSERT_TRUE(OpenImageFile(back, true, *db, &opened).ok());
    EXPECT_FALSE(opened.container.front);

    // Save of a back-placement Channel file keeps the container at the back.
    const FileForm form{true, opened.container.front};
    ASSERT_TRUE(SaveImage(*db, SaveModeForSave(true), dir.path("m0.bin"), form).ok());
    const auto m0 = ReadFile(dir.path("m0.bin"));
    ASSERT_EQ(m0.size(), kChannelFileSize);
    EXPECT_TRUE(AllZero(m0, 0, kBackStart));
    EXPECT_EQ(GetU32(m0, kBackStart), 0xFFFFFFFFu);
    EXPECT_EQ(m0, ReadFile(back)); // our own files reproduce byte for byte

    // Save as Default of the same file moves the container to the front.
    ASSERT_TRUE(SaveImage(*db, SaveModeForSaveAs(true, false), dir.path("m2.bin"), form).ok());
    const auto m2 = ReadFile(dir.path("m2.bin"));
    ASSERT_EQ(m2.size(), kDefaultFileSize);
    EXPECT_EQ(GetU32(m2, 0), 0xFFFFFFFFu);
    const uint32_t len = GetU32(m2, 4);
    EXPECT_TRUE(AllZero(m2, 8 + len, kSmallTable));
    EXPECT_NE(GetU32(m2, kSmallTable), 0u);
    EXPECT_TRUE(AllZero(m2, kSmallTable + 4 * 240, m2.size()));

    // A Default file saved as Channel: front container, second half zero.
    ASSERT_TRUE(OpenImageFile(def, false, *db).ok());
    ASSERT_TRUE(SaveImage(*db, SaveModeForSaveAs(false, true), dir.path("m1.bin")).ok());
    const auto m1 = ReadFile(dir.path("m1.bin"));
    ASSERT_EQ(m1.size(), kChannelFileSize);
    EXPECT_TRUE(AllZero(m1, kBackStart, m1.size()));
    EXPECT_TRUE(std::equal(m1.begin(), m1.begin() + kBackStart, ReadFile(def).begin()));
    ASSERT_TRUE(SaveImage(*db, SaveModeForSaveAs(false, false), dir.path("m3.bin")).ok());
    EXPECT_EQ(ReadFile(dir.path("m3.bin")), ReadFile(def));

    // Every form opens again with the same stored records.
    for (const char* name : {"m0.bin", "m1.bin", "m2.bin", "m3.bin"}) {
        auto again = NewDatabase();
        const auto bytes = ReadFile(dir.path(name));
        ASSERT_TRUE(OpenImageBytes(bytes, KindFromSize(bytes.size()), *again).ok()) << name;
        EXPECT_EQ(BuildImage(*again), BuildImage(*db)) << name;
    }
}

TEST(SaveImage, TheCarriedRegionSurvivesRepeatedSaves) {
    TempDir dir;
    auto db = sample::BuildSample();
    for (int i = 0; i < kCarriedSize; ++i) db->Carried[i] = static_cast<uint8_t>(i * 13 + 1);
    const std::string path = dir.path("c.bin");
    ASSERT_TRUE(SaveImage(*db, SaveMode::Channel, path, {true, true}, dir.path("work.bin")).ok());
    ASSERT_TRUE(SaveImage(*db, SaveMode::Channel, path, {true, true}, dir.path("work.bin")).ok());
    auto back = NewDatabase();
    ASSERT_TRUE(OpenImageFile(path, true, *back).ok());
    EXPECT_EQ(back->Carried, db->Carried);
}

TEST(SaveImage, FailuresKeepTheOldFileAndTheChangedFlag) {
    TempDir dir;
    Document doc(sample::BuildSample(), {true, true});
    doc.SetDataChanged(true);

    // Incompressible records: the stream would not fit the container.
    auto noisy = sample::BuildSample();
    std::mt19937 rng(3);
    for (auto& r : noisy->Prog.rec)
        for (auto& b : r) b = static_cast<uint8_t>(rng());
    Document noisyDoc(std::move(noisy), {true, true});
    noisyDoc.SetDataChanged(true);
    const std::string path = WriteSample(dir, "keep.bin", true);
    const auto before = ReadFile(path);
    Status s = noisyDoc.Save(SaveMode::Channel, path);
    EXPECT_FALSE(s.ok());
    EXPECT_TRUE(noisyDoc.DataChanged());
    EXPECT_EQ(ReadFile(path), before);

    // A destination folder that does not exist, and the full device.
    s = doc.Save(SaveMode::Channel, dir.path("no/such/dir/x.bin"));
    EXPECT_FALSE(s.ok());
    EXPECT_TRUE(doc.DataChanged());
    if (std::filesystem::exists("/dev/full")) {
        s = doc.Save(SaveMode::Channel, "/dev/full");
        EXPECT_FALSE(s.ok());
        EXPECT_NE(s.message().find("/dev/full"), std::string::npos) << s.message();
        EXPECT_TRUE(doc.DataChanged());
        EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
    }

    // A read-only folder (not enforced for root).
    if (::geteuid() != 0) {
        std::filesystem::permissions(dir.dir(),
                                     std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        s = doc.Save(SaveMode::Channel, path);
        EXPECT_FALSE(s.ok());
        EXPECT_TRUE(doc.DataChanged());
        EXPECT_EQ(ReadFile(path), before);
        std::filesystem::permissions(dir.dir(), std::filesystem::perms::owner_all);
    }

    ASSERT_TRUE(doc.Save(SaveMode::Channel, path).ok());
    EXPECT_FALSE(doc.DataChanged());
    // Nothing is left beside the destination but the backup of the file as
    // it was, made by the one save that wrote.
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.dir())) ++files;
    EXPECT_EQ(files, 2);
    EXPECT_EQ(ReadFile(path + ".bak"), before);
}

TEST(SaveImage, KeepsThePermissionsOfTheReplacedFile) {
    TempDir dir;
    const std::string path = WriteSample(dir, "perm.bin", true);
    ::chmod(path.c_str(), 0640);
    auto db = NewDatabase();
    ASSERT_TRUE(OpenImageFile(path, true, *db).ok());
    ASSERT_TRUE(SaveImage(*db, SaveMode::Channel, path).ok());
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}
