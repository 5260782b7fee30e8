// The conversation with the loader in the receiver over a serial line: the
// read-back, which brings a whole data file from the receiver into a file, and
// the write, which sends a data file to the receiver and waits while it erases
// and programs its flash. The data file travels byte for byte; the link never
// looks inside it (a file to be written is checked like an open first).
#pragma once

#include "base/Status.h"
#include "link/SerialPort.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace dbase {

// Line settings; there is no other speed.
inline constexpr const char* kLineSettings = "115200,N,8,1";
inline constexpr int kLineBaud = 115200;

inline constexpr int kFrameSize = 8;            // every control message
inline constexpr int kLinkBlockSize = 2048;     // data bytes of a block
inline constexpr int kLinkBlockWireSize = 2052; // data bytes and the 4-byte block sum
inline constexpr int kSendPieceSize = 16;       // a block is written in pieces of this size
inline constexpr int kProgressStep = 8;         // progress advance per block (one unit per 256 bytes)

// Bounds of the waits. Polls are separated by kPollMs sleeps.
inline constexpr int kPollMs = 1;
inline constexpr int kFramePolls = 500;          // an answer to a request
inline constexpr int kBlockPolls = 1001;         // a received block
inline constexpr int kRequestAttempts = 39;      // a read request before it counts as refused
inline constexpr int kAcceptTimeoutMs = 5000;    // "!!!CS" and "!!!QF" after a write request
inline constexpr int kBlockAckTimeoutMs = 5000;  // "!!!FS" after a sent block
inline constexpr int kEraseTimeoutMs = 120000;   // "!!!CD" after the last block
inline constexpr int kProgramTimeoutMs = 120000; // "!!!US" after "!!!CD"
inline constexpr int kFailPauseMs = 2000;        // pause after a failed data phase
// Before its first connect request an exchange lets the line go quiet: what
// is still arriving (the rest of a block of an exchange that was given up)
// is thrown away until nothing has come for kQuietMs, or kQuietLimitMs passed.
inline constexpr int kQuietMs = 50;
inline constexpr int kQuietLimitMs = 3000;

// Capacity of the receive buffer: the larger of the two data files.
inline constexpr uint32_t kReceiveBufferSize = 262144;

// Frame codes: index into the frame table.
enum LinkFrame : int {
    kFrameConnect = 0,      // "!!!CLCL*", PC to receiver
    kFrameLF = 1,           // defined, unused
    kFrameConnected = 2,    // "!!!LS", answer to the connect request
    kFrameReadDefault = 3,  // read request, Default data (128 KiB)
    kFrameWriteDefault = 4, // write request, Default data
    kFrameWriteChannel = 5, // write request, Channel data (256 KiB)
    kFrameReadChannel = 6,  // read request, Channel data
    kFrameAccepted = 7,     // "!!!CS", request accepted
    kFrameCF = 8,           // defined, unused
    kFrameQuery = 9,        // "!!!QF"
    kFrameBlockGood = 10,   // "!!!FS"
    kFrameBlockBad = 11,    // "!!!FF"
    kFrameEO = 12,          // defined, unused
    kFrameEF = 13,          // defined, unused
    kFrameErased = 14,      // "!!!CD", erase finished
    kFrameProgrammed = 15,  // "!!!US", programming finished
    kFrameUF = 16,          // defined, unused
    kFrameCount = 17
};

using FrameBytes = std::array<uint8_t, kFrameSize>;

// The 8 bytes of frame `code` (0..16).
const FrameBytes& FrameFor(int code);
// The read and write request frames for an image kind.
inline int ReadRequestFrame(bool is256K) { return is256K ? kFrameReadChannel : kFrameReadDefault; }
inline int WriteRequestFrame(bool is256K) { return is256K ? kFrameWriteChannel : kFrameWriteDefault; }

// State codes, turned into texts by StateText.
enum LinkStateCode : int {
    kStateConnecting = 0,
    kStateConnectFailed = 1,
    kStateConnected = 2,
    kStateTransfer = 3,
    kStateTransferFailed = 4,
    kStateTransferDone = 5,
    kStateVerify = 6,
    kStateVerifyFailed = 7,
    kStateVerifyDone = 8,
    kStateErasing = 9,
    kStateEraseFailed = 10,
    kStateErased = 11,
    kStateProgramming = 12,
    kStateProgramFailed = 13,
    kStateProgrammed = 14,
    kStateEepromFailed = 15,
    kStateEepromDone = 16,
    kStateFileFailed = 17,
    kStateFileDone = 18,
    kStateUpdateFailed = 19,
    kStateUpdateDone = 20,
};

// The text of state `code` (0..20); empty for any other code.
std::string StateText(int code);
// What a verify shows when the receiver holds what was written, and when
// `differing` of the `blocks` 2,048-byte blocks read back differ from it:
// "Verify failed: 3 of 64 blocks differ."
inline constexpr const char* kVerifyOkText = "Verify OK";
std::string VerifyDifferText(int differing, int blocks);
// "Transfering:  n%" (receiving) and "Transfering Data:  n%" (sending).
std::string ReceivePercentText(int percent);
std::string SendPercentText(int percent);

// Sum of the data bytes of a block as an unsigned 32-bit number.
uint32_t BlockSum(std::span<const uint8_t> data);
// The 4 bytes of a block sum as they go on the line, most significant first.
std::array<uint8_t, 4> BlockSumBytes(uint32_t sum);

// The progress maximum of an exchange of `length` bytes: one unit per 256 bytes.
inline int ProgressMax(uint32_t length) { return static_cast<int>(length / 256); }

// Reads the file of a write and checks it as an open of the given kind
// would: it must exist, have the kind's size, pass its checksums and
// decompress. On success `bytes` (when given) holds the file.
Status CheckImageFile(const std::string& path, bool is256K, std::vector<uint8_t>* bytes = nullptr);

// What the link shows while it works, and the host's chance to run. The link
// calls these on the thread that runs the exchange; every method has a
// do-nothing default.
class LinkObserver {
public:
    virtual ~LinkObserver() = default;
    // The state field: a state text or a percentage text.
    virtual void ShowState(const std::string& /*text*/) {}
    // The file of the exchange.
    virtual void ShowFileName(const std::string& /*path*/) {}
    // The progress bar: position `value` of 0..`maximum`.
    virtual void ShowProgress(int /*value*/, int /*maximum*/) {}
    // The port lamp: true while the port is open (lime), false when closed (red).
    virtual void ShowLamp(bool /*portOpen*/) {}
    // The port choice: disabled from "Connect Success!" until the exchange fails.
    virtual void EnablePorts(bool /*enabled*/) {}
    // True from a write's request until its programming has finished or the
    // write has failed: the receiver's flash is being written, and stopping
    // then may leave it half-programmed.
    virtual void ShowFlashBusy(bool /*busy*/) {}
    // Called at every poll of every wait and after every shown state: a host
    // running the exchange on its user-interface thread processes its pending
    // events here, a command-line host checks for an interrupt.
    virtual void PumpMessages() {}
    // Polled with PumpMessages: true when a newer exchange has taken over
    // from the running one, which then ends quietly at once.
    virtual bool Superseded() { return false; }
};

// One link to a receiver: the port, the clock, the observer and the state of
// the exchanges run over them. One exchange runs at a time; a host that
// processes events inside PumpMessages may start another one from there, and
// the running one then ends quietly once the newer one has started.
//
// Cancel (clearing LinkActive) and the observer's Superseded are seen at the
// next poll of any wait, so both take effect within a few milliseconds.
// Cancel and SetActive may be called from any thread; everything else must be
// called on the thread that runs the exchanges.
class ReceiverLink {
public:
    ReceiverLink(SerialPort& port, LinkClock& clock, LinkObserver* observer = nullptr);
    ReceiverLink(const ReceiverLink&) = delete;
    ReceiverLink& operator=(const ReceiverLink&) = delete;

    // LinkActive: set when the host shows the exchange, cleared by Cancel.
    // Every wait ends at its next poll once it is clear.
    void SetActive(bool active) { active_.store(active); }
    void Cancel() { active_.store(false); }
    bool LinkActive() const { return active_.load(); }
    // LinkDone: cleared at the start of each exchange, set when it succeeds.
    bool LinkDone() const { return done_.load(); }

    // The port number the next open uses (1-based); other values are ignored.
    void SetPortNumber(int number);
    int PortNumber() const { return portNumber_; }
    // A limit for the connect loop in milliseconds; 0 (the default) waits
    // until the loader answers, the exchange is cancelled or superseded.
    void SetConnectTimeoutMs(int64_t ms) { connectTimeoutMs_ = ms; }

    // Opens the port with the chosen number and the line settings, closing
    // it first. The lamp turns lime, and red again when the open fails; the
    // connect loop then shows why in place of "Connectting..." until the
    // exchange is cancelled or superseded.
    void OpenComPort();
    // Closes the port and turns the lamp red.
    void ClosePort();

    // Discards the waiting input and writes the 8 bytes of frame `code`.
    bool SendFrame(int code);
    // True when the next frame to arrive within `polls` polls equals frame
    // `code`. A group of 8 bytes that does not start with "!" or "#" is no
    // frame: it is skipped and the wait goes on. Anything that arrived beyond
    // the frame is discarded.
    bool WaitFrame(int code, int polls);
    // Discards what arrives until no byte has come for kQuietMs, for at most
    // kQuietLimitMs. False when the exchange was cancelled or superseded
    // meanwhile.
    bool SettleLine();
    // Lets the line go quiet, then repeats the connect request until the
    // loader answers (true), or the exchange is cancelled, superseded or the
    // connect limit passes (false). After an answer that does not match, the
    // next request waits for a quiet line again; when more than one request
    // went out, the late answers to the earlier ones are let pass before it
    // returns.
    bool ConnectLoader();
    // Sends request `code` up to kRequestAttempts times until frame `expect`
    // answers it.
    bool SendCommandRetry(int code, int expect);
    // Waits up to kAcceptTimeoutMs for the two frames that accept a write
    // request ("!!!CS", then "!!!QF"); 8-byte groups that start with neither
    // "!" nor "#" are skipped.
    bool WaitAcceptPair();
    // Waits up to `timeoutMs` until a frame equal to `code` arrives; other
    // frames are dropped.
    bool WaitLoaderFrame(int code, int timeoutMs);
    // Receives `length` bytes in blocks into the receive buffer, answering
    // each block "!!!FS" or, when its sum is wrong, "!!!FF". True only when
    // every block arrived with a good sum; the first bad, missing or
    // cancelled block ends the receive.
    bool ReceiveImage(uint32_t length);
    // Writes the first `length` bytes of the receive buffer to `path`,
    // replacing it atomically.
    Status SaveImageFile(const std::string& path, uint32_t length);
    // Sends the first `length` bytes of `file` in blocks of 16-byte pieces,
    // each block followed by its sum and answered by "!!!FS".
    bool SendImageFile(std::span<const uint8_t> file, uint32_t length);
    // Reads the file at `path` and sends its first `length` bytes.
    bool SendImageFile(const std::string& path, uint32_t length);

    // The whole read-back of an image of the given kind into the file
    // `path`. The file is written, atomically, only when every block
    // arrived with a good sum; otherwise an existing file is untouched.
    bool ReadBackImage(const std::string& path, bool is256K);
    // The whole write of the file `path` (of the given kind), including the
    // receiver's erase and programming. The file is checked like an open
    // first; a file that fails is refused before anything is sent.
    bool WriteImage(const std::string& path, bool is256K);
    // Reads the image of the given kind back into memory, as a read-back
    // does, and compares it block by block with the file `path` (the one
    // just written). True, showing kVerifyOkText, when every block is the
    // same; otherwise it shows VerifyDifferText, or "Verify failed!" when the
    // read-back itself failed. Nothing is written to disk.
    bool VerifyImage(const std::string& path, bool is256K);
    // The blocks that differed at the last verify; -1 when it read nothing.
    int DifferingBlocks() const { return differing_; }

    // Sets the progress maximum to `max`, advances the position by `step`
    // and lets the host run.
    void StepProgress(int max, int step);

    // True when the last exchange ended because a newer one took over; it
    // then showed no failure.
    bool Superseded() const { return superseded_; }
    // The message of the last refusal that has one: a file to write that
    // failed its check, a received file that could not be written, a port
    // that could not be opened or failed (the port's own sentence).
    const std::string& ErrorMessage() const { return error_; }
    // The last received bytes. It is never cleared between exchanges.
    std::span<const uint8_t> ReceiveBuffer() const { return receive_; }

private:
    class ExchangeScope;
    enum class Answer { None, Match, Other };

    // Show a message and let the host run; false when a newer exchange has
    // taken over meanwhile.
    bool Show(int state);
    bool ShowText(const std::string& text);
    void Pump();
    bool IsSuperseded();
    bool Stopped();
    // Stopped, or the port has failed: a data phase ends.
    bool Halted();
    bool ReadFrame(FrameBytes& out);
    // WaitFrame, telling a frame that did not match from no frame at all.
    Answer AwaitFrame(int code, int polls);
    // True when the port has failed; the first time, its message becomes
    // the exchange's error and the lamp turns red.
    bool PortFault();
    void Pause(int ms);
    bool FailPhase(int state);
    // A read-back up to the received image in the receive buffer; false
    // when it failed (its failure shown) or was superseded.
    bool FetchImage(const std::string& path, bool is256K);
    bool EndQuietly();
    bool Succeed();
    bool FailConnect();

    SerialPort& port_;
    LinkClock& clock_;
    LinkObserver* observer_;
    std::atomic<bool> active_{false};
    std::atomic<bool> done_{false};
    int portNumber_ = 1;
    int64_t connectTimeoutMs_ = 0;
    int progress_ = 0;
    int differing_ = -1;
    bool superseded_ = false;
    std::string error_;
    uint64_t exchangeCount_ = 0; // exchanges started on this link
    uint64_t running_ = 0;       // the number of the exchange now on top
    std::vector<uint8_t> receive_;
};

} // namespace dbase
