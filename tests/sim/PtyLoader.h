// The simulated loader on a pseudo-terminal: the PC side opens DevicePath()
// as its serial port, and a thread answers on the other side. Optionally the
// loader paces the line as a real one at the given baud rate would (10 bits
// a byte, both directions): bytes it sends leave one at a time, and bytes it
// receives count as arrived only once the line could have carried them.
#pragma once

#include "LoaderCore.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace sim {

class PtyLoader {
public:
    explicit PtyLoader(LoaderConfig config = {}, bool paced = false, int baud = 115200);
    ~PtyLoader();
    PtyLoader(const PtyLoader&) = delete;
    PtyLoader& operator=(const PtyLoader&) = delete;

    // Creates the pseudo-terminal and starts answering. False (with the
    // reason in `error`) when no pseudo-terminal can be had.
    bool Start(std::string* error = nullptr);
    void Stop();
    // The device the PC opens, e.g. "/dev/pts/3".
    const std::string& DevicePath() const { return device_; }

    // Runs `f` on the loader state while the loader thread keeps off it.
    void With(const std::function<void(LoaderCore&)>& f);
    // Waits up to `limit` until `done` holds for the loader state: bytes the
    // PC wrote last may still be on their way.
    bool Await(const std::function<bool(LoaderCore&)>& done,
               std::chrono::milliseconds limit = std::chrono::milliseconds(2000));
    // The line time of every byte exchanged so far, both directions.
    std::chrono::duration<double> WireTime();

private:
    void Run();

    LoaderCore core_;
    std::mutex mutex_;
    bool paced_;
    int baud_;
    int master_ = -1;
    int slave_ = -1;
    std::string device_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace sim
