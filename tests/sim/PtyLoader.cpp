#include "PtyLoader.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

using Clock = std::chrono::steady_clock;

PtyLoader::PtyLoader(LoaderConfig config, bool paced, int baud) : core_(config), paced_(paced), baud_(baud) {}

PtyLoader::~PtyLoader() { Stop(); }

bool PtyLoader::Start(std::string* error) {
    auto fail = [&](const char* what) {
        if (error) *error = std::string(what) + ": " + std::strerror(errno);
        Stop();
        return false;
    };
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) return fail("posix_openpt");
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return fail("grantpt");
    const char* name = ::ptsname(master_);
    if (!name) return fail("ptsname");
    device_ = name;
    // Holding the other side open keeps the master readable between the
    // PC's opens, and a raw line from the start means nothing is echoed.
    slave_ = ::open(device_.c_str(), O_RDWR | O_NOCTTY);
    if (slave_ < 0) return fail("open slave");
    termios t{};
    if (::tcgetattr(slave_, &t) != 0) return fail("tcgetattr");
    ::cfmakeraw(&t);
    if (::tcsetattr(slave_, TCSANOW, &t) != 0) return fail("tcsetattr");
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    stop_ = false;
    thread_ = std::thread([this] { Run(); });
    return true;
}

void PtyLoader::Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
    slave_ = master_ = -1;
}

void PtyLoader::With(const std::function<void(LoaderCore&)>& f) {
    std::lock_guard<std::mutex> lock(mutex_);
    f(core_);
}

bool PtyLoader::Await(const std::function<bool(LoaderCore&)>& done, std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (done(core_)) return true;
        }
        if (Clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

std::chrono::duration<double> PtyLoader::WireTime() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::chrono::duration<double>(static_cast<double>(core_.BytesIn() + core_.BytesOut()) * 10.0 / baud_);
}

void PtyLoader::Run() {
    const auto byteTime = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(10.0 / baud_));
    struct Timed {
        Clock::time_point at;
        uint8_t byte;
    };
    std::deque<Timed> received; // from the PC, by the time the line delivers them
    std::deque<Timed> toSend;   // to the PC, by the earliest time they may leave
    Clock::time_point rxFree = Clock::now();
    Clock::time_point txFree = Clock::now();
    std::vector<uint8_t> chunk(4096);
    std::vector<uint8_t> out;
    while (!stop_) {
        const Clock::time_point now = Clock::now();
        // Sleep until the next byte is due either way, at most a few ms.
        Clock::time_point wake = now + std::chrono::milliseconds(5);
        if (!received.empty()) wake = std::min(wake, received.front().at);
        if (!toSend.empty()) wake = std::min(wake, std::max(toSend.front().at, paced_ ? txFree : now));
        const auto wait = std::max(Clock::duration::zero(), wake - now);
        timespec ts{static_cast<time_t>(std::chrono::duration_cast<std::chrono::seconds>(wait).count()),
                    static_cast<long>(std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count() % 1000000000)};
        pollfd pfd{master_, POLLIN, 0};
        const int ready = ::ppoll(&pfd, 1, &ts, nullptr);
        if (ready > 0 && (pfd.revents & POLLIN)) {
            const ssize_t n = ::read(master_, chunk.data(), chunk.size());
            const Clock::time_point t = Clock::now();
            for (ssize_t i = 0; i < n; ++i) {
                if (paced_) {
                    rxFree = std::max(rxFree, t) + byteTime;
                    received.push_back({rxFree, chunk[static_cast<size_t>(i)]});
                } else {
                    received.push_back({t, chunk[static_cast<size_t>(i)]});
                }
            }
        } else if (ready > 0 && (pfd.revents & (POLLHUP | POLLERR))) {
            // No PC has the line open; the held slave normally prevents this.
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        const Clock::time_point t = Clock::now();
        std::vector<uint8_t> arrived;
        while (!received.empty() && received.front().at <= t) {
            arrived.push_back(received.front().byte);
            received.pop_front();
        }
        if (!arrived.empty()) {
            std::vector<Answer> answers;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                answers = core_.Feed(arrived);
            }
            Clock::time_point at = toSend.empty() ? t : std::max(t, toSend.back().at);
            for (const Answer& a : answers) {
                at += std::chrono::milliseconds(a.afterMs);
                for (uint8_t b : a.bytes) toSend.push_back({at, b});
            }
        }
        out.clear();
        while (!toSend.empty()) {
            if (paced_) {
                const Clock::time_point slot = std::max(txFree, toSend.front().at);
                if (slot > t) break;
                txFree = slot + byteTime;
            } else if (toSend.front().at > t) {
                break;
            }
            out.push_back(toSend.front().byte);
            toSend.pop_front();
        }
        size_t done = 0;
        while (done < out.size() && !stop_) {
            const ssize_t w = ::write(master_, out.data() + done, out.size() - done);
            if (w > 0) {
                done += static_cast<size_t>(w);
            } else if (w < 0 && errno != EAGAIN && errno != EINTR) {
                break;
            } else {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        }
    }
}

} // namespace sim
