// The document's edit history: steps, undo and redo, the saved point.
#include "SampleData.h"
#include "TestDb.h"
#include "TestUtil.h"

#include "base/Messages.h"
#include "document/Document.h"
#include "document/StepNames.h"
#include "editing/Entries.h"
#include "editing/Marks.h"
#include "editing/Reorder.h"

#include <gtest/gtest.h>

using namespace dbase;
using testutil::TempDir;

namespace {

Status DeleteFirst(Database& db) {
    DeleteProgram(db, 0);
    return Status::Ok();
}

// A document on the sample, opened from a file so that it has a saved point.
std::unique_ptr<Document> OpenedSample(const TempDir& dir, std::string* path = nullptr) {
    const std::string file = dir.path("sample.bin");
    testutil::WriteFile(file, sample::SampleFile(true));
    auto doc = std::make_unique<Document>();
    EXPECT_TRUE(doc->Open(file, true).ok());
    if (path) *path = file;
    return doc;
}

} // namespace

TEST(Document, AStepIsTakenBackAndAppliedAgainExactly) {
    TempDir dir;
    auto doc = OpenedSample(dir);
    const auto before = testdb::Copy(doc->Db());
    const int count = doc->Db().ProgCount;
    const std::string name = doc->Db().Prog.data[1].Name;

    ASSERT_TRUE(doc->Edit(steps::DeleteProgram, DeleteFirst).ok());
    EXPECT_EQ(doc->Db().ProgCount, count - 1);
    EXPECT_TRUE(doc->DataChanged());
    EXPECT_EQ(doc->UndoName(), "Delete program");
    EXPECT_EQ(doc->RedoName(), "");
    const auto after = testdb::Copy(doc->Db());

    const auto focus = doc->Undo();
    ASSERT_TRUE(focus);
    EXPECT_EQ(*focus, (StepFocus{Entity::Prog, 0}));
    EXPECT_EQ(doc->Db().ProgCount, count);
    EXPECT_EQ(doc->Db().Prog.rec, before->Prog.rec);
    EXPECT_EQ(doc->Db().Prog.data, before->Prog.data);
    EXPECT_EQ(doc->Db().Audio.rec, before->Audio.rec);
    EXPECT_FALSE(doc->DataChanged()) << "back at the saved point";
    EXPECT_EQ(doc->RedoName(), "Delete program");
    EXPECT_FALSE(doc->Undo()) << "nothing left to undo";

    ASSERT_TRUE(doc->Redo());
    EXPECT_EQ(doc->Db().Prog.data, after->Prog.data);
    EXPECT_EQ(doc->Db().Prog.data[0].Name, name);
    EXPECT_TRUE(doc->DataChanged());
    EXPECT_FALSE(doc->Redo());
}

TEST(Document, RefusalsAndChangesThatChangeNothingAreNoSteps) {
    TempDir dir;
    auto doc = OpenedSample(dir);
    const auto before = testdb::Copy(doc->Db());
    // A refusal after a partial change leaves the data as it was.
    const Status s = doc->Edit("Half done", [](Database& db) {
        DeleteProgram(db, 0);
        return Status::Error(StatusCode::Invalid, "refused");
    });
    EXPECT_EQ(s.message(), "refused");
    EXPECT_EQ(doc->Db().Prog.data, before->Prog.data);
    EXPECT_EQ(doc->Db().ProgCount, before->ProgCount);
    EXPECT_FALSE(doc->CanUndo());
    EXPECT_FALSE(doc->DataChanged());

    // A swap there and back again is no step.
    doc->BeginStep(steps::MoveProgram);
    SwapPrograms(doc->StepDb(), 0, 1);
    SwapPrograms(doc->StepDb(), 0, 1);
    EXPECT_FALSE(doc->EndStep());
    EXPECT_FALSE(doc->CanUndo());

    // A change thrown out of halfway is taken back too.
    EXPECT_THROW(doc->Edit("Throws",
                           [](Database& db) -> Status {
                               DeleteProgram(db, 0);
                               throw std::runtime_error("malformed");
                           }),
                 std::runtime_error);
    EXPECT_EQ(doc->Db().Prog.data, before->Prog.data);
    EXPECT_FALSE(doc->InStep());
}

TEST(Document, AGestureOfManyChangesIsOneStep) {
    TempDir dir;
    auto doc = OpenedSample(dir);
    const auto before = testdb::Copy(doc->Db());
    doc->BeginStep(steps::MoveProgram, StepFocus{Entity::Prog, 3});
    for (int i = 0; i < 3; ++i) SwapPrograms(doc->StepDb(), i, i + 1);
    ASSERT_TRUE(doc->EndStep());
    EXPECT_EQ(doc->StepCount(), 1u);
    EXPECT_EQ(doc->Undo(), (StepFocus{Entity::Prog, 3}));
    EXPECT_EQ(doc->Db().Prog.data, before->Prog.data);
}

TEST(Document, TheSavedPointFollowsSavesAndIsLostWithTheStepsDropped) {
    TempDir dir;
    std::string path;
    auto doc = OpenedSample(dir, &path);
    auto mark = [&](int slot) {
        ASSERT_TRUE(doc->Edit(steps::Mark(kLockButton),
                              [slot](Database& db) {
                                  ToggleMarks(db, slot, kLockButton);
                                  return Status::Ok();
                              })
                        .ok());
    };
    mark(0);
    mark(1);
    ASSERT_TRUE(doc->Save(SaveMode::Channel, path).ok());
    EXPECT_FALSE(doc->DataChanged());
    doc->Undo();
    EXPECT_TRUE(doc->DataChanged()) << "left the saved point";
    doc->Redo();
    EXPECT_FALSE(doc->DataChanged()) << "back at the saved point";

    // A failed save marks nothing.
    doc->Undo();
    EXPECT_FALSE(doc->Save(SaveMode::Channel, dir.path("no/such/folder/x.bin")).ok());
    EXPECT_TRUE(doc->DataChanged());
    doc->Redo();
    EXPECT_FALSE(doc->DataChanged());

    // A new step after undoing past the saved point drops it for good.
    doc->Undo();
    mark(5);
    EXPECT_FALSE(doc->CanRedo());
    doc->Undo();
    EXPECT_TRUE(doc->DataChanged());
    doc->Undo();
    EXPECT_TRUE(doc->DataChanged()) << "the opened file is no longer the saved one";
}

TEST(Document, ReopenAfterSaveAsKeepsTheHistory) {
    TempDir dir;
    auto doc = OpenedSample(dir);
    ASSERT_TRUE(doc->Edit(steps::DeleteProgram, DeleteFirst).ok());
    const std::string copy = dir.path("copy.bin");
    ASSERT_TRUE(doc->Save(SaveMode::Default, copy).ok());
    ASSERT_TRUE(doc->Reopen(copy, false).ok());
    EXPECT_FALSE(doc->Is256K());
    EXPECT_EQ(doc->StepCount(), 1u);
    EXPECT_FALSE(doc->DataChanged());
    doc->Undo();
    EXPECT_TRUE(doc->DataChanged());
    EXPECT_EQ(doc->Db().ProgCount, sample::BuildSample()->ProgCount);

    // Opening a file starts an empty history.
    ASSERT_TRUE(doc->Open(copy, false).ok());
    EXPECT_FALSE(doc->CanUndo() || doc->CanRedo());
}

TEST(Document, AStepKeepsWhatMovedOnce) {
    Document doc(sample::BuildFull(3));
    const size_t empty = doc.HistoryBytes();
    ASSERT_TRUE(doc.Edit(steps::Mark(2),
                         [](Database& db) {
                             ToggleMarks(db, 7, 2);
                             return Status::Ok();
                         })
                    .ok());
    const Step mark = Diff(*sample::BuildFull(3), doc.Db());
    ASSERT_EQ(mark.prog.changes.size(), 1u);
    EXPECT_EQ(mark.prog.changes[0].slot, 7);
    EXPECT_FALSE(mark.prog.changes[0].before.data) << "a record read from the file is kept as its stored bytes";
    EXPECT_FALSE(mark.counts || mark.favNames || mark.favLocks || mark.carried);

    // A sort moves whole programs: each is kept once, before the step.
    const auto beforeSort = testdb::Copy(doc.Db());
    ASSERT_TRUE(doc.Edit(steps::SortPrograms,
                         [](Database& db) {
                             SortPrograms(db, ProgKind::Tv, SortKey::Fav);
                             return Status::Ok();
                         })
                    .ok());
    const Step sort = Diff(*beforeSort, doc.Db());
    EXPECT_GT(sort.prog.changes.size(), 1000u);
    EXPECT_TRUE(sort.prog.own.empty());
    EXPECT_GT(doc.HistoryBytes(), empty);
}
