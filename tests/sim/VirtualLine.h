// A serial line to a simulated loader on virtual time: the port the link
// talks to and the clock it waits with, in one object. Answers arrive at the
// virtual moment the loader sends them; sleeping advances the time. Nothing
// really waits, so a two-minute timeout takes microseconds.
#pragma once

#include "LoaderCore.h"

#include "link/SerialPort.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace sim {

class VirtualLine final : public dbase::SerialPort, public dbase::LinkClock {
public:
    explicit VirtualLine(LoaderConfig config = {}) : core_(config) {}

    LoaderCore& Core() { return core_; }

    // Answers arrive this many milliseconds after the input that caused them
    // (and never before an earlier answer).
    void SetLatencyMs(int ms) { latencyMs_ = ms; }
    // Paces what the loader sends as a line at `baud` would (10 bits a
    // byte): a block trickles in over its line time instead of arriving
    // whole. 0 (the default) delivers every answer at once.
    void SetBaud(int baud) { baud_ = baud; }
    // Opens fail with this message while it is not empty.
    void FailOpens(std::string message) { openError_ = std::move(message); }
    // Every write from the `n`-th of the line's life on fails with `message`,
    // as when the line is pulled out; 0 stops the failing.
    void FailWritesFrom(size_t n, std::string message) {
        failWritesFrom_ = n;
        writeError_ = std::move(message);
    }
    // Called after every sleep with the new time.
    void OnTick(std::function<void(int64_t)> tick) { tick_ = std::move(tick); }

    // What the PC did.
    const std::vector<size_t>& WriteSizes() const { return writeSizes_; }
    int Opens() const { return opens_; }
    int OpenedNumber() const { return number_; }
    const std::string& OpenedSettings() const { return settings_; }
    // Bytes thrown away by DiscardInput.
    size_t Discarded() const { return discarded_; }

    // dbase::SerialPort
    bool Open(int number, const std::string& settings) override;
    bool IsOpen() const override { return open_; }
    void Close() override { open_ = false; }
    size_t InBufferCount() override;
    void DiscardInput() override;
    bool Write(std::span<const uint8_t> bytes) override;
    size_t Read(uint8_t* out, size_t n) override;
    std::string LastError() const override { return error_; }

    // dbase::LinkClock
    void SleepMs(int ms) override;
    int64_t NowMs() override { return now_; }

private:
    struct Pending {
        int64_t at; // milliseconds
        uint8_t byte;
    };

    LoaderCore core_;
    std::deque<Pending> pending_;
    int64_t now_ = 0;
    int64_t lastArrivalUs_ = 0;
    int latencyMs_ = 0;
    int baud_ = 0;
    bool open_ = false;
    int opens_ = 0;
    int number_ = 0;
    std::string settings_;
    std::string openError_;
    std::string writeError_;
    size_t failWritesFrom_ = 0;
    size_t writes_ = 0;
    std::string error_;
    size_t discarded_ = 0;
    std::vector<size_t> writeSizes_;
    std::function<void(int64_t)> tick_;
};

} // namespace sim
