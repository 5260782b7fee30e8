// A document: the database of one open file, the file's state and the edit
// history. Every change of the data goes through it as one named step, which
// can be taken back (Undo) and applied again (Redo) exactly. The window and
// the command-line tool share it.
#pragma once

#include "base/Status.h"
#include "document/History.h"
#include "format/DataFile.h"
#include "model/Model.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace dbase {

class Document {
public:
    // No file open, an empty database.
    Document();
    // Takes over a database built elsewhere (a test's) as an open file of `form`.
    explicit Document(std::unique_ptr<Database> db, const FileForm& form = {});
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // The data as it stands. Change it only through Edit or an open step.
    const Database& Db() const { return *db_; }

    // ---------------------------------------------------------------- file

    // Opens a data file of the expected kind (see OpenImageFile). On success
    // the file is open in that form, DataChanged is clear, the history starts
    // empty and the opened data is its saved point; on failure nothing
    // changes. A successful open (also OpenBytes and Adopt) starts a new
    // session of backups (see Backups).
    Status Open(const std::string& path, bool is256K, OpenedFile* opened = nullptr, const std::string& workFile = {});
    // Opens the bytes of a data file (see OpenImageBytes), as Open does.
    Status OpenBytes(std::span<const uint8_t> file, bool is256K, OpenedFile* opened = nullptr);
    // Opens the file just written by a Save as: the history is kept, and the
    // reopened data becomes its saved point.
    Status Reopen(const std::string& path, bool is256K, const std::string& workFile = {});
    // Replaces the data with `db` in form `form` and starts an empty history;
    // the file counts as open.
    void Adopt(std::unique_ptr<Database> db, const FileForm& form = {});

    // Closes the file: nothing is open, DataChanged is clear, the history is
    // empty, and SatCount and ProgCount are 0 (the slots keep what they hold
    // until the next image is read over them).
    void Close();

    // Saves in form `mode` to `dest` (see SaveImage), after the backup of an
    // existing `dest` when this session has not written it yet (see
    // Backups). On success the data as it stands is the saved point; a failed
    // save, and a backup that failed, mark nothing and write nothing.
    Status Save(SaveMode mode, const std::string& dest, const std::string& workFile = {});

    // ------------------------------------------------------------- backups

    // Whether the first write over an existing file in a session first
    // keeps the file as it was beside it (see BackUpFile); later writes of
    // the session leave that backup alone. A session starts with each open
    // and goes on through Save as and its Reopen. On by default.
    bool Backups() const { return backups_; }
    void SetBackups(bool on) { backups_ = on; }
    // The backup before a write over `dest` that is no Save (the receiver's
    // read-back), made as Save makes it. `dest` then counts as written in
    // this session, and stays so for the next Open when that opens it: the
    // file a read-back brought in keeps the backup of the file it replaced.
    Status BackUpBeforeWrite(const std::string& dest);
    // What the backup before the last Save or BackUpBeforeWrite did;
    // Outcome::None when it made none.
    const BackupResult& LastBackup() const { return lastBackup_; }

    // Whether the data differs from the saved file as the window tells the
    // user. Steps set it; Undo and Redo set it by whether they reach the
    // saved point. Some commands set it without changing the data.
    bool DataChanged() const { return dataChanged_; }
    void SetDataChanged(bool changed) {
        dataChanged_ = changed;
        StateChanged();
    }

    // Whether a file is open (the data came from a file, a read-back or the
    // default database), and the form it was opened in: what Save writes.
    bool FileOpened() const { return fileOpened_; }
    void SetFileOpened(bool opened) {
        fileOpened_ = opened;
        StateChanged();
    }
    const FileForm& Form() const { return form_; }
    bool Is256K() const { return form_.is256K; }
    // The kind an open is asked for is chosen before the open.
    void SetIs256K(bool is256K) { form_.is256K = is256K; }
    // The file Save writes to.
    const std::string& Path() const { return path_; }
    void SetPath(std::string path) {
        path_ = std::move(path);
        StateChanged();
    }

    // --------------------------------------------------------------- steps

    // Runs `change` on the data as one step named `name`. A refusal leaves
    // the data exactly as it was and records nothing; so does a change that
    // leaves the data as it was. The focus defaults to the first changed
    // program, transponder or satellite.
    Status Edit(const std::string& name, const std::function<Status(Database&)>& change,
                std::optional<StepFocus> focus = std::nullopt);

    // A step that spans several events (a drag gesture from mouse-down to
    // mouse-up): between BeginStep and EndStep the data may be changed
    // through StepDb(); EndStep records what changed, if anything, as one
    // step. A BeginStep while a step is open ends that one first.
    void BeginStep(const std::string& name, std::optional<StepFocus> focus = std::nullopt);
    Database& StepDb() { return *db_; }
    // Gives the open step another name (a command that learns its name as it runs).
    void NameStep(std::string name) {
        if (open_) open_->name = std::move(name);
    }
    bool InStep() const { return open_.has_value(); }
    // Returns true when a step was recorded.
    bool EndStep();
    // Takes back what the open step changed, DataChanged included, and
    // records nothing.
    void CancelStep();

    // -------------------------------------------------------- undo and redo

    bool CanUndo() const { return position_ > 0; }
    bool CanRedo() const { return position_ < steps_.size(); }
    // Names of the step Undo would take back and Redo would apply again;
    // empty when there is none.
    std::string UndoName() const;
    std::string RedoName() const;
    // Take back the last step not yet taken back / apply again the last one
    // taken back. Return the step's focus, or nothing when there is no step.
    std::optional<StepFocus> Undo();
    std::optional<StepFocus> Redo();

    // What the last step taken back or applied again changed.
    StepParts LastMoved() const { return lastMoved_; }

    // Steps in the history (taken back ones included), the steps applied,
    // and the memory the history holds.
    size_t StepCount() const { return steps_.size(); }
    size_t Position() const { return position_; }
    size_t HistoryBytes() const { return historyBytes_; }
    // Forgets every step; the data as it stands becomes the saved point.
    void ClearHistory();

    // Called after every change of the history (a step recorded, taken back
    // or applied again, the history cleared), for a window to show it.
    void OnHistoryChanged(std::function<void()> listener) { listener_ = std::move(listener); }
    // Called after every change of what a status line tells of the document:
    // a file opened, reopened, closed or saved, the path, FileOpened and
    // DataChanged set, and every change of the history (which changes the
    // data and its counts).
    void OnStateChanged(std::function<void()> listener) { stateListener_ = std::move(listener); }

private:
    struct OpenStep {
        std::string name;
        std::optional<StepFocus> focus;
        bool dataChanged = false; // as it was when the step began
    };
    void Record(Step step);
    void Opened(const OpenedFile& opened, bool is256K, const std::string& path);
    Status BackUpOnce(const std::string& dest, const std::string& key);
    void SyncBase();
    void AfterUndoRedo();
    void HistoryChanged() {
        if (listener_) listener_();
        StateChanged();
    }
    void StateChanged() {
        if (stateListener_) stateListener_();
    }

    std::unique_ptr<Database> db_;
    // The data as of the end of the last step: what a new step is compared with.
    std::unique_ptr<Database> base_;
    std::vector<Step> steps_;
    size_t position_ = 0;
    // The position of the saved file, or nothing when no position holds it.
    std::optional<size_t> saved_ = 0;
    std::optional<OpenStep> open_;
    size_t historyBytes_ = 0;
    bool dataChanged_ = false;
    bool fileOpened_ = false;
    FileForm form_;
    std::string path_;
    std::function<void()> listener_, stateListener_;
    StepParts lastMoved_;
    bool backups_ = true;
    // The files this session has written or backed up, by their real path;
    // and the one a read-back wrote, kept for the Open that follows it.
    std::set<std::string> written_;
    std::string readBack_;
    BackupResult lastBackup_;
};

} // namespace dbase
