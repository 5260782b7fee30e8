#include "link/Link.h"

#include "base/Messages.h"
#include "format/Container.h"
#include "format/DataFile.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

namespace dbase {

void SteadyLinkClock::SleepMs(int ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

int64_t SteadyLinkClock::NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

namespace {

constexpr FrameBytes Control(uint8_t a, uint8_t b, uint8_t c = 0, uint8_t d = 0) {
    return {0x21, 0x21, 0x21, a, b, c, d, 0x2A};
}
constexpr FrameBytes Request(uint8_t kind, uint8_t direction) {
    return {0x23, 0x23, 0x23, kind, static_cast<uint8_t>(~kind), direction, 0x00, 0x2A};
}

constexpr uint8_t kToPc = 0xD4;
constexpr uint8_t kToReceiver = 0xD2;
constexpr uint8_t kKindDefault = 3;
constexpr uint8_t kKindChannel = 4;

constexpr std::array<FrameBytes, kFrameCount> kFrames = {
    Control('C', 'L', 'C', 'L'),        // 0 connect request
    Control('L', 'F'),                  // 1
    Control('L', 'S'),                  // 2 connect answer
    Request(kKindDefault, kToPc),       // 3 read Default
    Request(kKindDefault, kToReceiver), // 4 write Default
    Request(kKindChannel, kToReceiver), // 5 write Channel
    Request(kKindChannel, kToPc),       // 6 read Channel
    Control('C', 'S'),                  // 7 accepted
    Control('C', 'F'),                  // 8
    Control('Q', 'F'),                  // 9
    Control('F', 'S'),                  // 10 block good
    Control('F', 'F'),                  // 11 block bad
    Control('E', 'O'),                  // 12
    Control('E', 'F'),                  // 13
    Control('C', 'D'),                  // 14 erase finished
    Control('U', 'S'),                  // 15 programming finished
    Control('U', 'F'),                  // 16
};

constexpr const char* kStateTexts[] = {
    "Connectting...",
    "Connect failed!",
    "Connect Success!",
    "Transfer...",
    "Transfer failed!",
    "Transfer Success!",
    "Verify...",
    "Verify failed!",
    "Verify Success!",
    "Erase flash...",
    "Erase flash failed!",
    "Erase flash Success!",
    "Program flash...",
    "Program flash failed!",
    "Program flash Success!",
    "Erase eeprom failed!",
    "Erase eeprom Success!",
    "Set up File failed!",
    "Set up File Success!",
    "Update failed!",
    "Update Success!",
};

bool StartsFrame(uint8_t first) { return first == '!' || first == '#'; }

// The longest a pause sleeps before it looks at Cancel again.
constexpr int kPauseSliceMs = 10;

} // namespace

const FrameBytes& FrameFor(int code) {
    static const FrameBytes none{};
    return code >= 0 && code < kFrameCount ? kFrames[code] : none;
}

std::string StateText(int code) {
    constexpr int count = static_cast<int>(std::size(kStateTexts));
    return code >= 0 && code < count ? kStateTexts[code] : std::string();
}

std::string VerifyDifferText(int differing, int blocks) {
    return "Verify failed: " + std::to_string(differing) + " of " + std::to_string(blocks) + " blocks " +
           (differing == 1 ? "differs." : "differ.");
}

std::string ReceivePercentText(int percent) { return "Transfering:  " + std::to_string(percent) + "%"; }
std::string SendPercentText(int percent) { return "Transfering Data:  " + std::to_string(percent) + "%"; }

uint32_t BlockSum(std::span<const uint8_t> data) {
    uint32_t sum = 0;
    for (uint8_t b : data) sum += b;
    return sum;
}

std::array<uint8_t, 4> BlockSumBytes(uint32_t sum) {
    return {static_cast<uint8_t>(sum >> 24), static_cast<uint8_t>(sum >> 16), static_cast<uint8_t>(sum >> 8),
            static_cast<uint8_t>(sum)};
}

Status CheckImageFile(const std::string& path, bool is256K, std::vector<uint8_t>* bytesOut) {
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_regular_file(path, ec))
        return Status::Error(StatusCode::NotFound, msg::FileMissing);
    if (const auto size = std::filesystem::file_size(path, ec); !ec)
        if (Status s = CheckFileSize(size, is256K); !s) return s;
    std::vector<uint8_t> bytes;
    if (Status s = ReadWholeFile(path, bytes); !s) return s;
    if (Status s = CheckFileSize(bytes.size(), is256K); !s) return s;
    std::vector<uint8_t> image;
    if (Status s = LoadCompressed(bytes, image); !s) return s;
    if (bytesOut) *bytesOut = std::move(bytes);
    return Status::Ok();
}

// Marks the exchanges on the stack: an exchange started inside a running one
// (from PumpMessages) takes over, and the outer one sees that it has been
// superseded once the inner one has returned.
class ReceiverLink::ExchangeScope {
public:
    explicit ExchangeScope(ReceiverLink& link) : link_(link), outer_(link.running_) {
        link.running_ = ++link.exchangeCount_;
        link.superseded_ = false;
        link.error_.clear();
        link.done_.store(false);
    }
    ~ExchangeScope() { link_.running_ = outer_; }
    ExchangeScope(const ExchangeScope&) = delete;
    ExchangeScope& operator=(const ExchangeScope&) = delete;

private:
    ReceiverLink& link_;
    uint64_t outer_;
};

ReceiverLink::ReceiverLink(SerialPort& port, LinkClock& clock, LinkObserver* observer)
    : port_(port), clock_(clock), observer_(observer), receive_(kReceiveBufferSize, 0) {}

void ReceiverLink::SetPortNumber(int number) {
    if (number >= 1) portNumber_ = number;
}

bool ReceiverLink::Show(int state) { return ShowText(StateText(state)); }

bool ReceiverLink::ShowText(const std::string& text) {
    if (observer_) {
        observer_->ShowState(text);
        observer_->PumpMessages();
    }
    return !IsSuperseded();
}

void ReceiverLink::Pump() {
    if (observer_) observer_->PumpMessages();
}

bool ReceiverLink::IsSuperseded() {
    // The exchange on top is the newest; an older one has been superseded by
    // one that ran inside it.
    if (running_ != 0 && running_ != exchangeCount_) return true;
    return observer_ && observer_->Superseded();
}

bool ReceiverLink::Stopped() { return !LinkActive() || IsSuperseded(); }

bool ReceiverLink::Halted() { return Stopped() || PortFault(); }

void ReceiverLink::OpenComPort() {
    if (port_.IsOpen()) port_.Close();
    if (observer_) observer_->ShowLamp(true);
    if (!port_.Open(portNumber_, kLineSettings)) {
        error_ = port_.LastError();
        if (error_.empty()) error_ = "The serial port can not be opened.";
        if (observer_) observer_->ShowLamp(false);
    }
}

bool ReceiverLink::PortFault() {
    std::string fault = port_.LastError();
    if (fault.empty()) return false;
    if (fault != error_) {
        error_ = std::move(fault);
        // A port that failed is as good as closed.
        if (observer_) observer_->ShowLamp(false);
    }
    return true;
}

void ReceiverLink::ClosePort() {
    port_.Close();
    if (observer_) observer_->ShowLamp(false);
}

bool ReceiverLink::SendFrame(int code) {
    port_.DiscardInput();
    const FrameBytes& f = FrameFor(code);
    return port_.Write(f);
}

bool ReceiverLink::ReadFrame(FrameBytes& out) {
    size_t got = 0;
    while (got < out.size()) {
        const size_t n = port_.Read(out.data() + got, out.size() - got);
        if (n == 0) return false;
        got += n;
    }
    return true;
}

ReceiverLink::Answer ReceiverLink::AwaitFrame(int code, int polls) {
    for (int i = 0; i < polls; ++i) {
        Pump();
        if (LinkDone() || IsSuperseded()) return Answer::None;
        while (port_.InBufferCount() >= kFrameSize) {
            FrameBytes answer{};
            if (!ReadFrame(answer)) return Answer::None;
            // Eight bytes that start no frame are the tail of something else,
            // such as a block the loader was still sending: not an answer.
            if (!StartsFrame(answer[0])) continue;
            // Whatever came with the answer belongs to no request of ours.
            port_.DiscardInput();
            return answer == FrameFor(code) ? Answer::Match : Answer::Other;
        }
        clock_.SleepMs(kPollMs);
        if (!LinkActive()) return Answer::None;
    }
    return Answer::None;
}

bool ReceiverLink::WaitFrame(int code, int polls) { return AwaitFrame(code, polls) == Answer::Match; }

bool ReceiverLink::SettleLine() {
    const int64_t start = clock_.NowMs();
    int64_t lastByte = start;
    for (;;) {
        Pump();
        if (Stopped()) return false;
        if (port_.InBufferCount() > 0) {
            port_.DiscardInput();
            lastByte = clock_.NowMs();
        }
        const int64_t now = clock_.NowMs();
        if (now - lastByte >= kQuietMs || now - start >= kQuietLimitMs) return true;
        clock_.SleepMs(kPollMs);
    }
}

bool ReceiverLink::ConnectLoader() {
    if (!LinkActive()) return false;
    if (!SettleLine()) return false;
    const int64_t start = clock_.NowMs();
    for (int requests = 1;; ++requests) {
        Pump();
        if (LinkDone() || IsSuperseded()) return false;
        // While the port is not usable, its fault says why instead.
        if (!ShowText(PortFault() ? error_ : StateText(kStateConnecting))) return false;
        if (!SendFrame(kFrameConnect)) PortFault();
        // A loader that was busy (erasing, or sending a block nobody reads
        // any more) answers every request it missed at once. A request only
        // goes out on a quiet line, and the late answers to earlier requests
        // are let pass, so that none is taken for the answer to what follows.
        const Answer answer = AwaitFrame(kFrameConnected, kFramePolls);
        if (answer == Answer::Match) return requests == 1 || SettleLine();
        if (answer == Answer::Other && !SettleLine()) return false;
        if (Stopped()) return false;
        if (connectTimeoutMs_ > 0 && clock_.NowMs() - start >= connectTimeoutMs_) return false;
    }
}

bool ReceiverLink::SendCommandRetry(int code, int expect) {
    for (int attempt = 0; attempt < kRequestAttempts; ++attempt) {
        if (Halted()) return false;
        SendFrame(code);
        if (WaitFrame(expect, kFramePolls)) return true;
    }
    return false;
}

bool ReceiverLink::WaitAcceptPair() {
    // The loader sends its pair right after the request, so the input is
    // left alone here: it may already hold the answer.
    const int64_t deadline = clock_.NowMs() + kAcceptTimeoutMs;
    FrameBytes groups[2]{};
    int collected = 0;
    for (;;) {
        Pump();
        if (Halted()) return false;
        while (port_.InBufferCount() >= kFrameSize) {
            FrameBytes group{};
            if (!ReadFrame(group)) break;
            if (!StartsFrame(group[0])) continue;
            groups[collected++] = group;
            if (collected == 2) return groups[0] == FrameFor(kFrameAccepted) && groups[1] == FrameFor(kFrameQuery);
        }
        if (clock_.NowMs() >= deadline) return false;
        clock_.SleepMs(kPollMs);
    }
}

bool ReceiverLink::WaitLoaderFrame(int code, int timeoutMs) {
    const int64_t deadline = clock_.NowMs() + timeoutMs;
    for (;;) {
        Pump();
        if (Halted()) return false;
        while (port_.InBufferCount() >= kFrameSize) {
            FrameBytes answer{};
            if (!ReadFrame(answer)) break;
            if (StartsFrame(answer[0]) && answer == FrameFor(code)) return true;
        }
        if (clock_.NowMs() >= deadline) return false;
        clock_.SleepMs(kPollMs);
    }
}

bool ReceiverLink::ReceiveImage(uint32_t length) {
    const uint32_t pages = length / 256;
    const uint32_t blocks = pages / 8;
    const int max = ProgressMax(length);
    progress_ = 0;
    if (observer_) observer_->ShowProgress(progress_, max);
    uint8_t wire[kLinkBlockWireSize];
    for (uint32_t i = 0; i < blocks; ++i) {
        bool arrived = false;
        for (int poll = 0; poll < kBlockPolls; ++poll) {
            Pump();
            if (Halted()) break;
            if (port_.InBufferCount() >= kLinkBlockWireSize) {
                arrived = true;
                break;
            }
            clock_.SleepMs(kPollMs);
        }
        // A block that did not come, or a cancelled one, leaves a hole: the
        // image is incomplete, so the receive has failed. So does a line
        // that failed: nothing more will come.
        if (!arrived) return false;
        size_t got = 0;
        while (got < sizeof wire) {
            const size_t n = port_.Read(wire + got, sizeof wire - got);
            if (n == 0) return false;
            got += n;
        }
        std::span<const uint8_t> data(wire, kLinkBlockSize);
        std::copy(data.begin(), data.end(), receive_.begin() + static_cast<size_t>(i) * kLinkBlockSize);
        const uint32_t stated = (uint32_t{wire[2048]} << 24) | (uint32_t{wire[2049]} << 16) |
                                (uint32_t{wire[2050]} << 8) | uint32_t{wire[2051]};
        if (BlockSum(data) != stated) {
            SendFrame(kFrameBlockBad);
            return false;
        }
        // Without its answer the loader sends no further block.
        if (!SendFrame(kFrameBlockGood)) return false;
        if (!ShowText(ReceivePercentText(static_cast<int>(i * 800 / pages)))) return false;
        StepProgress(max, kProgressStep);
    }
    return true;
}

Status ReceiverLink::SaveImageFile(const std::string& path, uint32_t length) {
    if (length > receive_.size()) return Status::Error(StatusCode::TooLarge, "The received image is too long!");
    return WriteFileAtomic(path, std::span<const uint8_t>(receive_.data(), length));
}

bool ReceiverLink::SendImageFile(std::span<const uint8_t> file, uint32_t length) {
    if (file.size() < length) return false;
    const int max = ProgressMax(length);
    progress_ = 0;
    if (observer_) observer_->ShowProgress(progress_, max);
    uint32_t offset = 0;
    while (offset < length) {
        // Nothing the loader sent before this block answers it.
        port_.DiscardInput();
        uint32_t sum = 0;
        for (int piece = 0; piece < kLinkBlockSize / kSendPieceSize && offset < length; ++piece) {
            const auto bytes = file.subspan(offset, std::min<uint32_t>(kSendPieceSize, length - offset));
            sum += BlockSum(bytes);
            if (!port_.Write(bytes)) {
                PortFault();
                return false;
            }
            offset += static_cast<uint32_t>(bytes.size());
        }
        if (!port_.Write(BlockSumBytes(sum))) {
            PortFault();
            return false;
        }
        if (!WaitLoaderFrame(kFrameBlockGood, kBlockAckTimeoutMs)) return false;
        if (!ShowText(SendPercentText(static_cast<int>(uint64_t{offset} * 100 / length)))) return false;
        StepProgress(max, kProgressStep);
        if (Stopped()) return false;
    }
    return true;
}

bool ReceiverLink::SendImageFile(const std::string& path, uint32_t length) {
    std::vector<uint8_t> file;
    if (Status s = ReadWholeFile(path, file); !s) {
        error_ = s.message();
        return false;
    }
    return SendImageFile(file, length);
}

void ReceiverLink::StepProgress(int max, int step) {
    progress_ = std::min(progress_ + step, max);
    if (observer_) observer_->ShowProgress(progress_, max);
    Pump();
}

void ReceiverLink::Pause(int ms) {
    for (int left = ms; left > 0 && !Stopped(); left -= kPauseSliceMs) {
        clock_.SleepMs(std::min(left, kPauseSliceMs));
        Pump();
    }
}

bool ReceiverLink::EndQuietly() {
    superseded_ = true;
    return false;
}

bool ReceiverLink::FailPhase(int state) {
    if (IsSuperseded() || !Show(state)) return EndQuietly();
    // When the port failed, that is what the user needs to know.
    if (PortFault() && !ShowText(error_)) return EndQuietly();
    if (observer_) observer_->EnablePorts(true);
    Pause(kFailPauseMs);
    return IsSuperseded() ? EndQuietly() : false;
}

bool ReceiverLink::FailConnect() {
    // A superseded exchange leaves LinkDone to the one that took over.
    if (IsSuperseded()) return EndQuietly();
    done_.store(false);
    return Show(kStateConnectFailed) ? false : EndQuietly();
}

bool ReceiverLink::Succeed() {
    // LinkDone is set before the last message: an exchange started from
    // there clears it again and sets it by its own outcome.
    done_.store(true);
    return Show(kStateUpdateDone) ? true : EndQuietly();
}

bool ReceiverLink::FetchImage(const std::string& path, bool is256K) {
    if (observer_) observer_->ShowFileName(path);
    OpenComPort();
    if (!ConnectLoader()) return FailConnect();
    if (observer_) observer_->EnablePorts(false);
    if (!Show(kStateConnected)) return EndQuietly();
    if (!SendCommandRetry(ReadRequestFrame(is256K), kFrameAccepted)) return FailPhase(kStateTransferFailed);
    if (!Show(kStateTransfer)) return EndQuietly();
    SendFrame(kFrameQuery);
    if (!ReceiveImage(FileSizeFor(is256K))) return FailPhase(kStateTransferFailed);
    // A newer exchange may have reused the receive buffer: only an exchange
    // still on top uses what came in.
    if (!Show(kStateTransferDone)) return EndQuietly();
    return true;
}

bool ReceiverLink::ReadBackImage(const std::string& path, bool is256K) {
    ExchangeScope scope(*this);
    if (!FetchImage(path, is256K)) return false;
    if (Status s = SaveImageFile(path, FileSizeFor(is256K)); !s) {
        error_ = s.message();
        return FailPhase(kStateFileFailed);
    }
    return Succeed();
}

bool ReceiverLink::WriteImage(const std::string& path, bool is256K) {
    ExchangeScope scope(*this);
    const uint32_t length = FileSizeFor(is256K);
    if (observer_) observer_->ShowFileName(path);
    std::vector<uint8_t> file;
    if (Status s = CheckImageFile(path, is256K, &file); !s) {
        error_ = s.message();
        return false;
    }
    OpenComPort();
    if (!ConnectLoader()) return FailConnect();
    if (observer_) observer_->EnablePorts(false);
    if (!Show(kStateConnected)) return EndQuietly();

    // From the request until the programming has finished, stopping may
    // leave the receiver's flash half-written.
    struct FlashBusy {
        LinkObserver* observer;
        bool on = false;
        void Set(bool busy) {
            if (busy != on && observer) observer->ShowFlashBusy(busy);
            on = busy;
        }
        ~FlashBusy() { Set(false); }
    } flash{observer_};
    auto fail = [&](int state) {
        flash.Set(false);
        return FailPhase(state);
    };
    flash.Set(true);
    SendFrame(WriteRequestFrame(is256K));
    if (!WaitAcceptPair()) return fail(kStateTransferFailed);
    if (!Show(kStateTransfer)) return EndQuietly();
    if (!SendImageFile(file, length)) return fail(kStateTransferFailed);
    if (!Show(kStateTransferDone) || !Show(kStateErasing)) return EndQuietly();
    if (!WaitLoaderFrame(kFrameErased, kEraseTimeoutMs)) return fail(kStateEraseFailed);
    if (!Show(kStateErased) || !Show(kStateProgramming)) return EndQuietly();
    if (!WaitLoaderFrame(kFrameProgrammed, kProgramTimeoutMs)) return fail(kStateProgramFailed);
    flash.Set(false);
    if (!Show(kStateProgrammed)) return EndQuietly();
    return Succeed();
}

bool ReceiverLink::VerifyImage(const std::string& path, bool is256K) {
    ExchangeScope scope(*this);
    differing_ = -1;
    const uint32_t length = FileSizeFor(is256K);
    auto failed = [&] {
        if (!superseded_ && !Show(kStateVerifyFailed)) EndQuietly();
        return false;
    };
    std::vector<uint8_t> file;
    if (Status s = ReadWholeFile(path, file); !s) {
        error_ = s.message();
        if (observer_) observer_->ShowFileName(path);
        return failed();
    }
    if (!FetchImage(path, is256K)) return failed();
    const int blocks = static_cast<int>(length / kLinkBlockSize);
    differing_ = 0;
    for (int i = 0; i < blocks; ++i) {
        const size_t at = static_cast<size_t>(i) * kLinkBlockSize;
        const bool whole = file.size() >= at + kLinkBlockSize;
        if (!whole || !std::equal(file.begin() + static_cast<std::ptrdiff_t>(at),
                                  file.begin() + static_cast<std::ptrdiff_t>(at + kLinkBlockSize),
                                  receive_.begin() + static_cast<std::ptrdiff_t>(at)))
            ++differing_;
    }
    if (differing_ == 0) {
        done_.store(true);
        return ShowText(kVerifyOkText) ? true : EndQuietly();
    }
    error_ = VerifyDifferText(differing_, blocks);
    return ShowText(error_) ? false : EndQuietly();
}

} // namespace dbase
