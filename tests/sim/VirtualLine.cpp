#include "VirtualLine.h"

#include <algorithm>

namespace sim {

bool VirtualLine::Open(int number, const std::string& settings) {
    ++opens_;
    number_ = number;
    settings_ = settings;
    open_ = openError_.empty();
    return open_;
}

size_t VirtualLine::InBufferCount() {
    if (!open_) return 0;
    size_t n = 0;
    for (const Pending& p : pending_) {
        if (p.at > now_) break;
        ++n;
    }
    return n;
}

void VirtualLine::DiscardInput() {
    while (!pending_.empty() && pending_.front().at <= now_) {
        pending_.pop_front();
        ++discarded_;
    }
}

bool VirtualLine::Write(std::span<const uint8_t> bytes) {
    if (!open_) return false;
    writeSizes_.push_back(bytes.size());
    for (const Answer& a : core_.Feed(bytes)) {
        lastArrival_ = std::max(lastArrival_, now_ + latencyMs_) + a.afterMs;
        for (uint8_t b : a.bytes)
            pending_.push_back({lastArrival_, b});
    }
    return true;
}

size_t VirtualLine::Read(uint8_t* out, size_t n) {
    if (!open_) return 0;
    size_t got = 0;
    while (got < n && !pending_.empty() && pending_.front().at <= now_) {
        out[got++] = pending_.front().byte;
        pending_.pop_front();
    }
    return got;
}

void VirtualLine::SleepMs(int ms) {
    now_ += std::max(ms, 0);
    if (tick_) tick_(now_);
}

} // namespace sim
