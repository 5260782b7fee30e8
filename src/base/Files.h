// Reading and writing files without surprises: inputs are checked to be
// regular files of a sane size before a byte is read, destinations are
// checked before anything is opened, and a save either replaces the file
// atomically (keeping its mode, owner and group) or, where that would lose
// them or its hard links, writes it in place behind a recovery copy kept in
// the program's private data folder.
#pragma once

#include "base/Status.h"

#include <cstdint>
#include <span>
#include <string>
#include <sys/types.h>
#include <vector>

namespace dbase {

// The largest files read whole.
inline constexpr uint64_t kMaxDataFileBytes = 262144;       // a Channel data file
inline constexpr uint64_t kMaxIniFileBytes = 4u << 20;      // a satellite .ini file
inline constexpr uint64_t kMaxSettingsFileBytes = 1u << 20; // "ORBITLIST.ini"
// The largest file written in place (its old bytes go to the recovery copy).
inline constexpr uint64_t kMaxInPlaceBytes = 16u << 20;

// The process's file-creation mask, read once when the program starts (it is
// never set, so threads creating files meanwhile are not disturbed).
mode_t ProcessUmask();

// "a folder", "a named pipe", "a device", "a socket" or "not a regular file"
// for the type bits of `mode`.
std::string FileTypeText(mode_t mode);

// Checks that `path` names a regular file (links followed) and gives its
// size. Fails with the missing-file message when nothing is there, and with
// a refusal naming the path for a folder, pipe, device or socket.
Status CheckInputFile(const std::string& path, uint64_t* size = nullptr);

// Reads the whole regular file at `path` into `bytes` when it holds at most
// `maxBytes` bytes; a larger one fails with `tooLarge` before anything is
// read. The file is opened without blocking, so a pipe swapped in after the
// check is refused rather than waited on.
Status ReadFileLimited(const std::string& path, uint64_t maxBytes, const std::string& tooLarge,
                       std::vector<uint8_t>& bytes);

// A data file read whole: larger than a Channel data file gives the open
// workflow's size message.
Status ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes);

// The file a write to `path` lands on: symbolic links are followed to their
// end, so a dangling link gives the file it names (to be created). Refuses a
// loop of links, and a destination that exists and is not a regular file.
Status ResolveDestination(const std::string& path, std::string& resolved);
// As ResolveDestination, for callers that only need the check.
Status CheckDestination(const std::string& path);

// Writes `bytes` to `path` so that `path` is at every moment the old file,
// the new one, or (in place, below) recoverable.
//
// Normally the bytes go to a temporary file beside the destination which is
// given the old file's mode, owner and group and renamed over it. Where the
// rename would lose something -- the file has more than one hard link, its
// owner or group can not be given to a new file, or no temporary file can be
// made in its folder -- the file is written in place: its old bytes are
// first copied (synced) to a recovery copy in the private data folder, then
// the new bytes are written, synced, read back and compared; on any failure
// the old bytes are written back. A finished write removes the copy.
//
// An existing destination the process may not write, and one that is not a
// regular file, are refused and left alone. Stale temporary files of an
// earlier, killed save beside the destination are removed. With `sync` the
// data reaches the disk before the function returns.
Status WriteFileAtomic(const std::string& path, std::span<const uint8_t> bytes, bool sync = true);

// What the backup before a write over a file did.
struct BackupResult {
    enum class Outcome {
        None,    // nothing was there to keep (no file), or nothing was asked
        Made,    // the file as it was is in `backup`
        NoPlace, // no backup can be made beside the file; `why` says why
    };
    Outcome outcome = Outcome::None;
    std::string file;   // the file that is written over (links followed)
    std::string backup; // its backup: the file's whole name plus ".bak"
    std::string why;
};

// Copies the regular file `path` (links followed) to its whole name plus
// ".bak" beside it, before it is written over: "channel.bin" gives
// "channel.bin.bak", which replaces an older backup (never writing through a
// link of that name). The copy keeps the file's mode, owner, group and
// times, and is written as a save writes: a temporary file, synced, renamed
// into place. Ok with Outcome::None when nothing is at `path`.
//
// A copy that fails while it is written (a full disk, a read error, a folder
// of that name) returns the error and leaves the file and any older backup
// as they were. Where no backup can be made beside the file at all -- its
// folder takes no new file, its name has no room for ".bak", the file can
// not be read -- the result is Ok with Outcome::NoPlace.
Status BackUpFile(const std::string& path, BackupResult& result);

// The sentence that tells the user a file was written without a backup
// (Outcome::NoPlace), as the status line and stderr show it.
std::string NoBackupNote(const BackupResult& result);

// Writes the working file: created with mode 0600 when missing, never through
// a symbolic link, and only when the file there is the user's own.
Status WriteWorkFile(const std::string& path, std::span<const uint8_t> bytes);

// Makes `dir` when it is missing (and its missing parents, each with mode
// 0700) and checks that it is a folder of the user's own that nobody else
// may enter; an own folder open to others is closed to them.
Status MakePrivateFolder(const std::string& dir);

// The program's private data folder (working file, recovery copies):
// "orbitlist" under XDG_DATA_HOME, else under HOME/.local/share, else under
// XDG_RUNTIME_DIR. A shared folder is never used: without any of them, or
// when the folder is not the user's own, this fails with the reason.
Status DataDirectory(std::string& dir);
// The working file "KESTREL_BACKUP.BIN" in the data folder.
Status WorkFilePath(std::string& path);

// A folder only the user can reach, for the single-instance socket:
// XDG_RUNTIME_DIR when it is the user's own, else "orbitlist-UID" under
// `sharedTemp`, made with mode 0700 and checked to be the user's own.
Status RuntimeDirectory(std::string& dir, const std::string& sharedTemp = "/tmp");

// ---- Recovery copies of writes in place ----

// What a recovery copy holds: the file written in place and its bytes
// before the write.
struct RecoveryRecord {
    std::string path;               // the file written in place
    uint64_t device = 0, inode = 0; // which file it was
    std::vector<uint8_t> oldBytes;
    std::string recordFile; // where the copy lies (set by FindRecoveryRecords)
};

// The folder of the recovery copies ("recovery" in the data folder).
Status RecoveryDirectory(std::string& dir);

// The bytes of a recovery copy, and their reading; ParseRecoveryRecord
// returns false for anything that is not a whole, intact copy.
std::vector<uint8_t> EncodeRecoveryRecord(const RecoveryRecord& record);
bool ParseRecoveryRecord(std::span<const uint8_t> bytes, RecoveryRecord& record);

// The recovery copies of unfinished writes in `dir` (the recovery folder
// when empty). A copy whose write is still running in another process is
// left out; leftovers of copies that were never finished are removed, and so
// are copies whose file already holds the old bytes again.
std::vector<RecoveryRecord> FindRecoveryRecords(const std::string& dir = {});

// Writes the old bytes of `record` back into its file (in place) and removes
// the copy.
Status RestoreRecovery(const RecoveryRecord& record);
// Removes the copy, leaving the file as it is.
void DiscardRecovery(const RecoveryRecord& record);

} // namespace dbase
