// Shared pieces of the link tests: an observer that records what the link
// shows, a clock that skips the link's pauses and valid data files; the
// scratch folders and file helpers are the shared ones of TestUtil.h.
#pragma once

#include "format/DataFile.h"
#include "link/Link.h"

#include "TestUtil.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace linktest {

class Recorder : public dbase::LinkObserver {
public:
    std::vector<std::string> states;
    std::vector<std::string> fileNames;
    std::vector<std::pair<int, int>> progress; // value, maximum
    std::vector<bool> lamps;
    std::vector<bool> ports;
    std::vector<std::pair<bool, size_t>> flash; // busy, and how many states had been shown
    // Hooks for the tests: after each shown state, at each pump, and the
    // answer to Superseded.
    std::function<void(const std::string&)> onState;
    std::function<void()> onPump;
    std::function<bool()> superseded;

    void ShowState(const std::string& text) override {
        states.push_back(text);
        if (onState) onState(text);
    }
    void ShowFileName(const std::string& path) override { fileNames.push_back(path); }
    void ShowProgress(int value, int maximum) override { progress.emplace_back(value, maximum); }
    void ShowLamp(bool open) override { lamps.push_back(open); }
    void EnablePorts(bool enabled) override { ports.push_back(enabled); }
    void ShowFlashBusy(bool busy) override { flash.emplace_back(busy, states.size()); }
    void PumpMessages() override {
        if (onPump) onPump();
    }
    bool Superseded() override { return superseded && superseded(); }

    int Count(const std::string& text) const;
    bool Shows(const std::string& text) const { return Count(text) > 0; }
    // The states shown from the first `from` on (the whole list when absent).
    std::vector<std::string> From(const std::string& from) const;
};

// The system clock for the polls, but pauses longer than a few
// milliseconds pass at once (they only move the clock on), so tests over a
// real line do not sit through the link's pauses.
class FastPauseClock final : public dbase::LinkClock {
public:
    void SleepMs(int ms) override;
    int64_t NowMs() override;

private:
    dbase::SteadyLinkClock real_;
    std::atomic<int64_t> skipped_{0};
};

// The bytes of a valid data file of the given kind (the bundled sample).
std::vector<uint8_t> SampleFile(bool is256K);

// The states a successful exchange shows, in order.
std::vector<std::string> ReadBackStates(bool is256K);
std::vector<std::string> WriteStates(bool is256K);

} // namespace linktest
