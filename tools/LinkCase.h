// One exchange of the receiver link against a scripted, possibly hostile,
// loader: the case the link fuzz target runs and the link tests replay.
//
// A case is a byte string:
//   byte 0    what the PC does and what goes wrong on its side
//               bits 0-1  0 read Default data, 1 read Channel data,
//                         2 write Default data, 3 write Channel data
//               bit 2     the port does not open
//               bit 3     the port fails every write from write number P on
//               bit 4     the user cancels at pump number 16 * P
//               bit 5     a newer read-back of Default data starts inside the
//                         exchange at its message number P
//               bit 6     the file to write is damaged (one byte short)
//   byte 1    P
//   then      the loader's script, segments of
//               byte    when: bit 7 set: after the PC's next frame or block
//                       sum (any write that is not a 16-byte piece); clear:
//                       after the previous segment; bits 0-6: then this many
//                       milliseconds later
//               2 bytes length, least significant first (cut at the end)
//               bytes   what the loader sends
// The loader is silent once its script has run out. Time is virtual.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace linkcase {

enum Flags : uint8_t {
    kRead256K = 1,
    kWrite = 2,
    kOpenFails = 4,
    kWriteFails = 8,
    kCancel = 16,
    kTakeOver = 32,
    kDamagedFile = 64,
};

// Where a case keeps its files: valid data files of both kinds to write, and
// the files read-backs land in.
class Files {
public:
    // Makes the files in a fresh folder under `base` (the system's temporary
    // folder when empty).
    explicit Files(const std::string& base = {});
    ~Files();
    Files(const Files&) = delete;
    Files& operator=(const Files&) = delete;

    const std::string& Folder() const { return dir_; }
    // The bundled sample as a data file of the kind.
    const std::vector<uint8_t>& DataFile(bool is256K) const;

private:
    std::string dir_;
};

struct Outcome {
    bool succeeded = false; // the exchange reported success
    bool tookOver = false;  // a newer exchange started inside it
    std::string fault;      // empty, or what the link did wrong
};

// Runs the case and checks what the link did: states and progress in range,
// a read-back file written whole or not at all, a write that succeeded sent
// exactly the file, a damaged file refused before the port is touched, and
// an exchange that was taken over showing nothing more.
Outcome Run(std::span<const uint8_t> input, const Files& files);

// The script of a loader that answers the exchange correctly; `image` is what
// a read-back sends.
std::vector<uint8_t> CleanCase(uint8_t flags, uint8_t parameter, std::span<const uint8_t> image);
// A case cut after the first `count` segments of its script.
std::vector<uint8_t> FirstSegments(std::span<const uint8_t> input, size_t count);

} // namespace linkcase
