#include "LinkCase.h"

#include "SampleData.h"

#include "format/DataFile.h"
#include "link/Link.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

namespace linkcase {

namespace {

namespace fs = std::filesystem;

constexpr int64_t kConnectLimitMs = 3000;
const std::string kPreviousContents = "what the file held before";

std::vector<uint8_t> Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Put(const std::string& path, std::span<const uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("can not write " + path);
}

std::span<const uint8_t> AsBytes(const std::string& s) {
    return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

struct Segment {
    size_t start; // where its header stands in the script
    bool afterWrite;
    int delayMs;
    std::span<const uint8_t> bytes;
};

std::vector<Segment> ParseScript(std::span<const uint8_t> script) {
    std::vector<Segment> segments;
    size_t at = 0;
    while (at < script.size()) {
        const size_t start = at;
        const uint8_t when = script[at++];
        size_t length = 0;
        if (at < script.size()) length = script[at++];
        if (at < script.size()) length |= size_t{script[at++]} << 8;
        length = std::min(length, script.size() - at);
        segments.push_back({start, (when & 0x80) != 0, when & 0x7F, script.subspan(at, length)});
        at += length;
    }
    return segments;
}

// The port and the clock of a case: the loader's script arrives on virtual
// time, released by the PC's writes or by the passing of time.
class ScriptedLine final : public dbase::SerialPort, public dbase::LinkClock {
public:
    ScriptedLine(std::span<const uint8_t> script, bool opens, int64_t failWritesFrom)
        : segments_(ParseScript(script)), opens_(opens), failFrom_(failWritesFrom) {}

    bool Open(int, const std::string&) override {
        ++openCalls_;
        open_ = opens_;
        failed_ = !open_;
        return open_;
    }
    bool IsOpen() const override { return open_; }
    void Close() override { open_ = false; }
    size_t InBufferCount() override {
        Advance();
        return in_.size();
    }
    void DiscardInput() override {
        Advance();
        in_.clear();
    }
    bool Write(std::span<const uint8_t> bytes) override {
        ++writeCalls_;
        if (!open_ || (failFrom_ > 0 && writeCalls_ >= failFrom_)) {
            failed_ = true;
            return false;
        }
        written_.emplace_back(bytes.begin(), bytes.end());
        if (bytes.size() != dbase::kSendPieceSize && !triggered_) {
            triggered_ = true;
            triggerAt_ = now_;
        }
        Advance();
        return true;
    }
    size_t Read(uint8_t* out, size_t n) override {
        Advance();
        n = std::min(n, in_.size());
        std::copy_n(in_.begin(), n, out);
        in_.erase(in_.begin(), in_.begin() + static_cast<std::ptrdiff_t>(n));
        return n;
    }
    std::string LastError() const override { return failed_ ? "The line is gone." : ""; }

    void SleepMs(int ms) override {
        if (ms > 0) now_ += ms;
        Advance();
    }
    int64_t NowMs() override { return now_; }

    int OpenCalls() const { return openCalls_; }
    int64_t WriteCalls() const { return writeCalls_; }
    const std::vector<std::vector<uint8_t>>& Written() const { return written_; }

private:
    void Advance() {
        while (next_ < segments_.size()) {
            const Segment& s = segments_[next_];
            if (s.afterWrite && !triggered_) return;
            const int64_t at = (s.afterWrite ? triggerAt_ : lastRelease_) + s.delayMs;
            if (now_ < at) return;
            // Bytes sent to a closed port are lost.
            if (open_) in_.insert(in_.end(), s.bytes.begin(), s.bytes.end());
            lastRelease_ = now_;
            triggered_ = false;
            ++next_;
        }
    }

    std::vector<Segment> segments_;
    size_t next_ = 0;
    bool opens_;
    int64_t failFrom_;
    bool open_ = false;
    bool failed_ = false;
    int openCalls_ = 0;
    int64_t writeCalls_ = 0;
    int64_t now_ = 0;
    int64_t lastRelease_ = 0;
    bool triggered_ = false;
    int64_t triggerAt_ = 0;
    std::vector<uint8_t> in_;
    std::vector<std::vector<uint8_t>> written_;
};

// Watches what the link shows, cancels and starts the newer exchange when
// the case asks for it, and notes every fault it sees.
class Watch final : public dbase::LinkObserver {
public:
    Watch(uint8_t flags, uint8_t parameter, std::string outerPath, std::string innerPath)
        : flags_(flags), parameter_(parameter), innerPath_(std::move(innerPath)), outerPath_(std::move(outerPath)) {}

    void Attach(dbase::ReceiverLink& link) { link_ = &link; }

    void ShowState(const std::string& text) override {
        if (text.empty()) Fault("an empty message was shown");
        states.push_back(text);
        if ((flags_ & kTakeOver) && !tookOver && states.size() == parameter_) takeOverDue_ = true;
    }
    void ShowProgress(int value, int maximum) override {
        if (maximum <= 0 || value < 0 || value > maximum) Fault("progress out of range");
    }
    void PumpMessages() override {
        ++pumps_;
        if ((flags_ & kCancel) && pumps_ == 16 * int64_t{parameter_}) link_->Cancel();
        if (takeOverDue_) TakeOver();
    }

    void Fault(const std::string& what) {
        if (fault.empty()) fault = what;
    }

    std::vector<std::string> states;
    bool tookOver = false;
    bool innerOk = false;
    size_t statesAfterInner = 0;
    std::vector<uint8_t> outerFileAtTakeOver;
    std::string fault;

private:
    void TakeOver() {
        takeOverDue_ = false;
        tookOver = true;
        outerFileAtTakeOver = Slurp(outerPath_);
        std::error_code ec;
        fs::remove(innerPath_, ec);
        innerOk = link_->ReadBackImage(innerPath_, false);
        statesAfterInner = states.size();
        if (innerOk != link_->LinkDone()) Fault("the newer exchange's outcome and LinkDone differ");
        if (link_->Superseded()) Fault("the newer exchange counts as superseded");
        const auto got = Slurp(innerPath_);
        if (innerOk) {
            const auto buffer = link_->ReceiveBuffer().first(dbase::kDefaultFileSize);
            if (!std::equal(got.begin(), got.end(), buffer.begin(), buffer.end()))
                Fault("the newer read-back's file is not what it received");
        } else if (!got.empty()) {
            Fault("a failed read-back wrote its file");
        }
    }

    uint8_t flags_;
    uint8_t parameter_;
    std::string innerPath_, outerPath_;
    dbase::ReceiverLink* link_ = nullptr;
    int64_t pumps_ = 0;
    bool takeOverDue_ = false;
};

bool IsFrame(const std::vector<uint8_t>& w, int code) {
    const auto& f = dbase::FrameFor(code);
    return w.size() == f.size() && std::equal(w.begin(), w.end(), f.begin());
}

// The blocks of a write as they go on the line: data, then the sum.
std::vector<uint8_t> WireForm(std::span<const uint8_t> file, uint32_t length) {
    std::vector<uint8_t> wire;
    for (uint32_t at = 0; at < length; at += dbase::kLinkBlockSize) {
        const auto block = file.subspan(at, std::min<uint32_t>(dbase::kLinkBlockSize, length - at));
        wire.insert(wire.end(), block.begin(), block.end());
        const auto sum = dbase::BlockSumBytes(dbase::BlockSum(block));
        wire.insert(wire.end(), sum.begin(), sum.end());
    }
    return wire;
}

} // namespace

Files::Files(const std::string& base) {
    const fs::path root = base.empty() ? fs::temp_directory_path() : fs::path(base);
    std::random_device rd;
    for (int attempt = 0; attempt < 100 && dir_.empty(); ++attempt) {
        const fs::path p = root / ("orbitlist-link-" + std::to_string(rd()));
        if (fs::create_directory(p)) dir_ = p.string();
    }
    if (dir_.empty()) throw std::runtime_error("no folder for the link files");
    const auto& channel = DataFile(true);
    Put(dir_ + "/write-channel.bin", channel);
    Put(dir_ + "/write-default.bin", DataFile(false));
    Put(dir_ + "/damaged.bin", std::span<const uint8_t>(channel).first(channel.size() - 1));
}

const std::vector<uint8_t>& Files::DataFile(bool is256K) const { return sample::SampleFile(is256K); }

Files::~Files() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

Outcome Run(std::span<const uint8_t> input, const Files& files) {
    Outcome outcome;
    if (input.size() < 2) return outcome;
    const uint8_t flags = input[0];
    const uint8_t parameter = input[1];
    const bool write = (flags & kWrite) != 0;
    const bool is256K = (flags & kRead256K) != 0;
    const bool damaged = write && (flags & kDamagedFile);
    const uint32_t length = dbase::FileSizeFor(is256K);

    ScriptedLine line(input.subspan(2), !(flags & kOpenFails), (flags & kWriteFails) ? int64_t{parameter} + 1 : 0);
    const std::string readPath = files.Folder() + "/read.bin";
    Watch watch(flags, parameter, readPath, files.Folder() + "/inner.bin");
    dbase::ReceiverLink link(line, line, &watch);
    watch.Attach(link);
    link.SetActive(true);
    link.SetConnectTimeoutMs(kConnectLimitMs);

    const std::string writePath = files.Folder() + (damaged  ? "/damaged.bin"
                                                    : is256K ? "/write-channel.bin"
                                                             : "/write-default.bin");
    if (!write) Put(readPath, AsBytes(kPreviousContents));

    outcome.succeeded = write ? link.WriteImage(writePath, is256K) : link.ReadBackImage(readPath, is256K);
    outcome.tookOver = watch.tookOver;
    std::string fault = watch.fault;
    auto check = [&](bool holds, const char* what) {
        if (!holds && fault.empty()) fault = what;
    };

    if (watch.tookOver) {
        check(!outcome.succeeded, "an exchange that was taken over reported success");
        check(link.Superseded(), "an exchange that was taken over does not say so");
        check(watch.states.size() == watch.statesAfterInner, "an exchange that was taken over showed more");
        check(link.LinkDone() == watch.innerOk, "an exchange that was taken over changed LinkDone");
        if (!write)
            check(Slurp(readPath) == watch.outerFileAtTakeOver, "an exchange that was taken over wrote its file");
    } else {
        check(outcome.succeeded == link.LinkDone(), "the outcome and LinkDone differ");
        check(!link.Superseded(), "an exchange counts as superseded with nothing newer");
        if (outcome.succeeded)
            check(!watch.states.empty() && watch.states.back() == "Update Success!",
                  "a success ended on another message");
        if (!write) {
            const auto got = Slurp(readPath);
            if (outcome.succeeded) {
                const auto buffer = link.ReceiveBuffer().first(length);
                check(std::equal(got.begin(), got.end(), buffer.begin(), buffer.end()),
                      "the read-back file is not what was received");
                int good = 0;
                for (const auto& w : line.Written()) {
                    good += IsFrame(w, dbase::kFrameBlockGood);
                    check(!IsFrame(w, dbase::kFrameBlockBad), "a read-back with a bad block succeeded");
                }
                check(good == static_cast<int>(length / dbase::kLinkBlockSize),
                      "a read-back succeeded without acknowledging every block");
            } else {
                check(got == std::vector<uint8_t>(kPreviousContents.begin(), kPreviousContents.end()),
                      "a failed read-back changed the file");
            }
        }
    }
    if (damaged) {
        check(!outcome.succeeded, "a damaged file was written to the receiver");
        check(line.OpenCalls() == 0 && line.WriteCalls() == 0, "a damaged file got as far as the port");
    } else if (write && outcome.succeeded && !watch.tookOver) {
        std::vector<uint8_t> sent;
        for (const auto& w : line.Written())
            if (w.size() != dbase::kFrameSize) sent.insert(sent.end(), w.begin(), w.end());
        check(sent == WireForm(files.DataFile(is256K), length), "a successful write did not send exactly the file");
    }
    outcome.fault = fault;
    return outcome;
}

std::vector<uint8_t> FirstSegments(std::span<const uint8_t> input, size_t count) {
    if (input.size() < 2) return {input.begin(), input.end()};
    const auto segments = ParseScript(input.subspan(2));
    const size_t end = count < segments.size() ? 2 + segments[count].start : input.size();
    return {input.begin(), input.begin() + static_cast<std::ptrdiff_t>(end)};
}

std::vector<uint8_t> CleanCase(uint8_t flags, uint8_t parameter, std::span<const uint8_t> image) {
    std::vector<uint8_t> out{flags, parameter};
    auto segment = [&](bool afterWrite, int delayMs, std::span<const uint8_t> bytes) {
        out.push_back(static_cast<uint8_t>((afterWrite ? 0x80 : 0) | (delayMs & 0x7F)));
        out.push_back(static_cast<uint8_t>(bytes.size() & 0xFF));
        out.push_back(static_cast<uint8_t>(bytes.size() >> 8));
        out.insert(out.end(), bytes.begin(), bytes.end());
    };
    const bool is256K = (flags & kRead256K) != 0;
    const uint32_t length = dbase::FileSizeFor(is256K);
    segment(true, 0, dbase::FrameFor(dbase::kFrameConnected));
    if (flags & kWrite) {
        std::vector<uint8_t> pair;
        for (int code : {dbase::kFrameAccepted, dbase::kFrameQuery})
            pair.insert(pair.end(), dbase::FrameFor(code).begin(), dbase::FrameFor(code).end());
        segment(true, 0, pair);
        for (uint32_t at = 0; at < length; at += dbase::kLinkBlockSize)
            segment(true, 0, dbase::FrameFor(dbase::kFrameBlockGood));
        segment(false, 100, dbase::FrameFor(dbase::kFrameErased));
        segment(false, 100, dbase::FrameFor(dbase::kFrameProgrammed));
        return out;
    }
    segment(true, 0, dbase::FrameFor(dbase::kFrameAccepted));
    for (uint32_t at = 0; at < length; at += dbase::kLinkBlockSize) {
        std::vector<uint8_t> block(dbase::kLinkBlockSize, 0);
        if (at < image.size())
            std::copy_n(image.begin() + at, std::min<size_t>(dbase::kLinkBlockSize, image.size() - at), block.begin());
        const auto sum = dbase::BlockSumBytes(dbase::BlockSum(block));
        block.insert(block.end(), sum.begin(), sum.end());
        segment(true, 0, block);
    }
    return out;
}

} // namespace linkcase
