// The loader side of the receiver link, without any transport: it takes the
// bytes the PC sends and answers them as the receiver's loader does, with
// fault modes for the tests. The virtual line (unit tests) and the
// pseudo-terminal loader (end-to-end tests, benchmarks) both drive it.
#pragma once

#include "link/Link.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace sim {

enum class Fault {
    None,
    SilentConnect,     // the connect request is never answered
    JunkConnect,       // the first `count` connect requests get 8 bytes starting with neither "!" nor "#"
    LongConnect,       // the connect request is answered with 12 bytes: the frame and 4 more
    IgnoreReadRequest, // the first `count` read requests get no answer (every one when count < 0)
    BadSum,            // block `block` of a read-back goes with a wrong sum
    StopAfterBlocks,   // read-back: only `block` blocks are sent; write: block `block` is not acknowledged
    SilentAccept,      // a write request gets no answer
    WrongAccept,       // a write request is answered "!!!CS" and "!!!CF"
    JunkAccept,        // a write request is answered by 8 junk bytes, then "!!!CS" and "!!!QF"
    NoErase,           // the erase never finishes
    NoProgram,         // the programming never finishes
    BadFlash,          // a write is programmed with block `block` spoiled
    SilentAfterWrite,  // once a write has been programmed, connect requests go unanswered
};

struct LoaderConfig {
    Fault fault = Fault::None;
    int count = 0;
    int block = 0;
    int eraseMs = 0;   // erase time after the last block of a write
    int programMs = 0; // programming time after the erase
};

// Bytes to send, `afterMs` after the previous answer has gone out (or after
// the input that caused it, when nothing is queued).
struct Answer {
    std::vector<uint8_t> bytes;
    int afterMs = 0;
};

class LoaderCore {
public:
    explicit LoaderCore(LoaderConfig config = {});

    // Changes the fault and timing from the next input on.
    void SetConfig(LoaderConfig config) { config_ = config; }

    // The stored data file of each kind: what a read-back sends and what a
    // write replaces. Each starts as a pattern that is not all one value.
    void SetImage(bool is256K, std::vector<uint8_t> bytes);
    const std::vector<uint8_t>& Image(bool is256K) const { return is256K ? channel_ : default_; }

    // Takes bytes from the PC and returns the answers they cause, in order.
    std::vector<Answer> Feed(std::span<const uint8_t> bytes);

    // What the loader has seen.
    const std::vector<dbase::FrameBytes>& FramesIn() const { return framesIn_; }
    int CountIn(int code) const;
    int BlocksSent() const { return blocksSent_; }
    int BlocksReceived() const { return blocksReceived_; }
    int WritesCompleted() const { return writesCompleted_; }
    uint64_t BytesIn() const { return bytesIn_; }
    uint64_t BytesOut() const { return bytesOut_; }

private:
    enum class Phase { Idle, AwaitQuery, Sending, Receiving };

    void Step(std::vector<Answer>& out);
    void Command(const dbase::FrameBytes& f, std::vector<Answer>& out);
    void SendBlock(std::vector<Answer>& out);
    void Emit(std::vector<Answer>& out, std::span<const uint8_t> bytes, int afterMs = 0);

    LoaderConfig config_;
    std::vector<uint8_t> channel_, default_;
    std::vector<uint8_t> in_;
    Phase phase_ = Phase::Idle;
    bool is256K_ = false;
    int block_ = 0;
    int blocks_ = 0;
    std::vector<uint8_t> incoming_;
    int connects_ = 0;
    int readRequests_ = 0;
    std::vector<dbase::FrameBytes> framesIn_;
    int blocksSent_ = 0;
    int blocksReceived_ = 0;
    int writesCompleted_ = 0;
    uint64_t bytesIn_ = 0;
    uint64_t bytesOut_ = 0;
};

// A data-file-sized pattern of the given kind, different for each seed.
std::vector<uint8_t> Pattern(bool is256K, uint32_t seed);

} // namespace sim
