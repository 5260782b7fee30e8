#include "VirtualLine.h"

#include <algorithm>

namespace sim {

bool VirtualLine::Open(int number, const std::string& settings) {
    ++opens_;
    number_ = number;
    settings_ = settings;
    open_ = openError_.empty();
    error_ = openError_;
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
    ++writes_;
    if (failWritesFrom_ > 0 && writes_ >= failWritesFrom_) {
        error_ = writeError_;
        return false;
    }
    writeSizes_.push_back(bytes.size());
    const int64_t byteUs = baud_ > 0 ? 10'000'000 / baud_ : 0;
    for (const Answer& a : core_.Feed(bytes)) {
        int64_t at = std::max(lastArrivalUs_, (now_ + latencyMs_) * 1000) + int64_t{a.afterMs} * 1000;
        for (uint8_t b : a.bytes) {
            at += byteUs;
            pending_.push_back({(at + 999) / 1000, b});
        }
        lastArrivalUs_ = at;
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
