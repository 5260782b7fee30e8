#include "document/Document.h"

#include "document/StepNames.h"
#include "editing/Marks.h"

#include <filesystem>
#include <utility>

namespace dbase {

Document::Document() : db_(NewDatabase()), base_(NewDatabase()) {}

Document::Document(std::unique_ptr<Database> db, const FileForm& form)
    : db_(std::move(db)), base_(NewDatabase()), fileOpened_(true), form_(form) {
    SyncBase();
}

Document::~Document() = default;

void Document::SyncBase() { *base_ = *db_; }

void Document::ClearHistory() {
    open_.reset();
    steps_.clear();
    steps_.shrink_to_fit();
    position_ = 0;
    saved_ = 0;
    historyBytes_ = 0;
    SyncBase();
    HistoryChanged();
}

// ---------------------------------------------------------------- file

namespace {

// The file a write to `path` lands on, as one text for every way of naming it.
std::string RealPath(const std::string& path) {
    std::string resolved;
    if (!ResolveDestination(path, resolved)) resolved = path;
    std::error_code ec;
    const std::filesystem::path real = std::filesystem::weakly_canonical(resolved, ec);
    return ec ? resolved : real.string();
}

} // namespace

void Document::Opened(const OpenedFile& opened, bool is256K, const std::string& path) {
    form_ = {is256K, opened.container.front};
    fileOpened_ = true;
    dataChanged_ = false;
    // A new session of backups; the file a read-back has just written stays written.
    const bool readBack = !readBack_.empty() && !path.empty() && RealPath(path) == readBack_;
    written_.clear();
    if (readBack) written_.insert(readBack_);
    readBack_.clear();
}

Status Document::Open(const std::string& path, bool is256K, OpenedFile* openedOut, const std::string& workFile) {
    if (InStep()) EndStep();
    OpenedFile opened;
    if (Status s = OpenImageFile(path, is256K, *db_, &opened, workFile); !s) return s;
    Opened(opened, is256K, path);
    ClearHistory();
    if (openedOut) *openedOut = opened;
    return Status::Ok();
}

Status Document::OpenBytes(std::span<const uint8_t> file, bool is256K, OpenedFile* openedOut) {
    if (InStep()) EndStep();
    OpenedFile opened;
    if (Status s = OpenImageBytes(file, is256K, *db_, &opened); !s) return s;
    Opened(opened, is256K, {});
    ClearHistory();
    if (openedOut) *openedOut = opened;
    return Status::Ok();
}

Status Document::Reopen(const std::string& path, bool is256K, const std::string& workFile) {
    if (InStep()) EndStep();
    OpenedFile opened;
    if (Status s = OpenImageFile(path, is256K, *db_, &opened, workFile); !s) return s;
    // The session goes on: the file was written by it.
    form_ = {is256K, opened.container.front};
    fileOpened_ = true;
    dataChanged_ = false;
    // The steps keep what they changed; the reopened data is where they stand now.
    SyncBase();
    saved_ = position_;
    StateChanged();
    return Status::Ok();
}

void Document::Adopt(std::unique_ptr<Database> db, const FileForm& form) {
    open_.reset();
    db_ = std::move(db);
    form_ = form;
    fileOpened_ = true;
    dataChanged_ = false;
    written_.clear();
    readBack_.clear();
    ClearHistory();
}

void Document::Close() {
    open_.reset();
    db_->SatCount = 0;
    db_->ProgCount = 0;
    db_->TpAlignWord = {};
    fileOpened_ = false;
    dataChanged_ = false;
    written_.clear();
    ClearHistory();
}

Status Document::BackUpOnce(const std::string& dest, const std::string& key) {
    lastBackup_ = {};
    if (!backups_ || written_.count(key)) return Status::Ok();
    if (Status s = BackUpFile(dest, lastBackup_); !s) return s;
    if (lastBackup_.outcome == BackupResult::Outcome::Made) written_.insert(key);
    return Status::Ok();
}

Status Document::BackUpBeforeWrite(const std::string& dest) {
    const std::string key = RealPath(dest);
    if (Status s = BackUpOnce(dest, key); !s) return s;
    written_.insert(key);
    readBack_ = key;
    return Status::Ok();
}

Status Document::Save(SaveMode mode, const std::string& dest, const std::string& workFile) {
    if (InStep()) EndStep();
    const std::string key = RealPath(dest);
    lastBackup_ = {};
    if (Status s = SaveImage(*db_, mode, dest, form_, workFile, [&] { return BackUpOnce(dest, key); }); !s) return s;
    written_.insert(key);
    dataChanged_ = false;
    // The save writes the stored copy of the locks; it is no step.
    base_->FavLocksStored = db_->FavLocksStored;
    saved_ = position_;
    StateChanged();
    return Status::Ok();
}

// --------------------------------------------------------------- steps

Status Document::Edit(const std::string& name, const std::function<Status(Database&)>& change,
                      std::optional<StepFocus> focus) {
    BeginStep(name, focus);
    Status s;
    try {
        s = change(*db_);
    } catch (...) {
        CancelStep();
        throw;
    }
    if (!s) {
        CancelStep();
        return s;
    }
    EndStep();
    return s;
}

void Document::BeginStep(const std::string& name, std::optional<StepFocus> focus) {
    if (InStep()) EndStep();
    open_ = OpenStep{name, focus, dataChanged_};
}

bool Document::EndStep() {
    if (!open_) return false;
    OpenStep open = std::move(*open_);
    open_.reset();
    Step step = Diff(*base_, *db_);
    if (step.empty()) return false;
    step.name = std::move(open.name);
    step.focus = open.focus ? *open.focus : DerivedFocus(step);
    ApplySide(step, true, *base_);
    Record(std::move(step));
    return true;
}

void Document::CancelStep() {
    if (!open_) return;
    dataChanged_ = open_->dataChanged;
    open_.reset();
    const Step step = Diff(*base_, *db_);
    ApplySide(step, false, *db_);
    StateChanged();
}

void Document::Record(Step step) {
    // A new step drops the steps taken back.
    while (steps_.size() > position_) {
        historyBytes_ -= steps_.back().Bytes();
        steps_.pop_back();
    }
    if (saved_ && *saved_ > position_) saved_.reset();
    historyBytes_ += step.Bytes();
    steps_.push_back(std::move(step));
    position_ = steps_.size();
    dataChanged_ = true;
    HistoryChanged();
}

// -------------------------------------------------------- undo and redo

std::string Document::UndoName() const { return CanUndo() ? steps_[position_ - 1].name : std::string(); }

std::string Document::RedoName() const { return CanRedo() ? steps_[position_].name : std::string(); }

std::optional<StepFocus> Document::Undo() {
    if (InStep()) EndStep();
    if (!CanUndo()) return std::nullopt;
    const Step& step = steps_[--position_];
    lastMoved_ = PartsOf(step);
    ApplySide(step, false, *db_);
    ApplySide(step, false, *base_);
    AfterUndoRedo();
    return step.focus;
}

std::optional<StepFocus> Document::Redo() {
    if (InStep()) EndStep();
    if (!CanRedo()) return std::nullopt;
    const Step& step = steps_[position_++];
    lastMoved_ = PartsOf(step);
    ApplySide(step, true, *db_);
    ApplySide(step, true, *base_);
    AfterUndoRedo();
    return step.focus;
}

void Document::AfterUndoRedo() {
    dataChanged_ = !saved_ || *saved_ != position_;
    HistoryChanged();
}

} // namespace dbase

namespace dbase::steps {

std::string Mark(int button) {
    if (button == kLockButton) return "Mark lock";
    if (button == kSkipButton) return "Mark skip";
    return "Mark favourite " + std::to_string(button + 1);
}

std::string SetMarks(int button, bool on) {
    if (button == kLockButton) return on ? "Lock programs" : "Unlock programs";
    if (button == kSkipButton) return on ? "Skip programs" : "Unskip programs";
    return (on ? "Add to favourite " : "Remove from favourite ") + std::to_string(button + 1);
}

std::string RenameFavourite(int group) { return "Rename favourite " + std::to_string(group + 1); }

std::string LockFavourite(int group, bool locked) {
    return (locked ? "Lock favourite " : "Unlock favourite ") + std::to_string(group + 1);
}

} // namespace dbase::steps
