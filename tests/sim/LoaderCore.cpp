#include "LoaderCore.h"

#include "format/DataFile.h"

#include <algorithm>

namespace sim {

using dbase::FrameBytes;
using dbase::FrameFor;

namespace {

FrameBytes ToFrame(std::span<const uint8_t> b) {
    FrameBytes f{};
    std::copy_n(b.begin(), f.size(), f.begin());
    return f;
}

bool IsRequest(const FrameBytes& f) {
    return f[0] == '#' && f[1] == '#' && f[2] == '#' && (f[3] == 3 || f[3] == 4) &&
           f[4] == static_cast<uint8_t>(~f[3]) && (f[5] == 0xD4 || f[5] == 0xD2) && f[6] == 0 && f[7] == '*';
}

uint32_t FileSize(bool is256K) { return dbase::FileSizeFor(is256K); }

} // namespace

std::vector<uint8_t> Pattern(bool is256K, uint32_t seed) {
    std::vector<uint8_t> bytes(FileSize(is256K));
    uint32_t x = seed * 2654435761u + 1;
    for (auto& b : bytes) {
        x = x * 1103515245u + 12345u;
        b = static_cast<uint8_t>(x >> 16);
    }
    return bytes;
}

LoaderCore::LoaderCore(LoaderConfig config)
    : config_(config), channel_(Pattern(true, 1)), default_(Pattern(false, 2)) {}

void LoaderCore::SetImage(bool is256K, std::vector<uint8_t> bytes) {
    bytes.resize(FileSize(is256K));
    (is256K ? channel_ : default_) = std::move(bytes);
}

int LoaderCore::CountIn(int code) const {
    return static_cast<int>(std::count(framesIn_.begin(), framesIn_.end(), FrameFor(code)));
}

void LoaderCore::Emit(std::vector<Answer>& out, std::span<const uint8_t> bytes, int afterMs) {
    out.push_back({std::vector<uint8_t>(bytes.begin(), bytes.end()), afterMs});
    bytesOut_ += bytes.size();
}

std::vector<Answer> LoaderCore::Feed(std::span<const uint8_t> bytes) {
    bytesIn_ += bytes.size();
    in_.insert(in_.end(), bytes.begin(), bytes.end());
    std::vector<Answer> out;
    Step(out);
    return out;
}

void LoaderCore::Step(std::vector<Answer>& out) {
    size_t pos = 0;
    for (;;) {
        const size_t left = in_.size() - pos;
        if (phase_ == Phase::Receiving) {
            // A connect request where a block should start means the PC has
            // given up on this write and begun again.
            if (left >= 8 && ToFrame({in_.data() + pos, 8}) == FrameFor(dbase::kFrameConnect)) {
                phase_ = Phase::Idle;
                continue;
            }
            if (left < static_cast<size_t>(dbase::kLinkBlockWireSize)) break;
            const uint8_t* b = in_.data() + pos;
            pos += dbase::kLinkBlockWireSize;
            const std::span<const uint8_t> data(b, dbase::kLinkBlockSize);
            const uint32_t stated =
                (uint32_t{b[2048]} << 24) | (uint32_t{b[2049]} << 16) | (uint32_t{b[2050]} << 8) | uint32_t{b[2051]};
            if (config_.fault == Fault::StopAfterBlocks && block_ == config_.block) {
                phase_ = Phase::Idle;
                continue;
            }
            if (dbase::BlockSum(data) != stated) {
                Emit(out, FrameFor(dbase::kFrameBlockBad));
                continue;
            }
            std::copy(data.begin(), data.end(),
                      incoming_.begin() + static_cast<size_t>(block_) * dbase::kLinkBlockSize);
            ++blocksReceived_;
            Emit(out, FrameFor(dbase::kFrameBlockGood));
            if (++block_ == blocks_) {
                phase_ = Phase::Idle;
                if (config_.fault == Fault::NoErase) continue;
                Emit(out, FrameFor(dbase::kFrameErased), config_.eraseMs);
                if (config_.fault == Fault::NoProgram) continue;
                auto& stored = is256K_ ? channel_ : default_;
                stored = incoming_;
                if (config_.fault == Fault::BadFlash)
                    stored[static_cast<size_t>(config_.block) * dbase::kLinkBlockSize] ^= 0xFF;
                ++writesCompleted_;
                Emit(out, FrameFor(dbase::kFrameProgrammed), config_.programMs);
            }
            continue;
        }
        if (left < 8) break;
        if (in_[pos] != '!' && in_[pos] != '#') {
            ++pos; // not the start of a frame: resynchronise
            continue;
        }
        const FrameBytes f = ToFrame({in_.data() + pos, 8});
        pos += 8;
        framesIn_.push_back(f);
        if (phase_ == Phase::AwaitQuery && f == FrameFor(dbase::kFrameQuery)) {
            phase_ = Phase::Sending;
            block_ = 0;
            SendBlock(out);
        } else if (phase_ == Phase::Sending && f == FrameFor(dbase::kFrameBlockGood)) {
            if (++block_ < blocks_)
                SendBlock(out);
            else
                phase_ = Phase::Idle;
        } else if (phase_ == Phase::Sending && f == FrameFor(dbase::kFrameBlockBad)) {
            phase_ = Phase::Idle;
        } else {
            Command(f, out);
        }
    }
    in_.erase(in_.begin(), in_.begin() + static_cast<std::ptrdiff_t>(pos));
}

void LoaderCore::Command(const FrameBytes& f, std::vector<Answer>& out) {
    phase_ = Phase::Idle;
    if (f == FrameFor(dbase::kFrameConnect)) {
        ++connects_;
        switch (config_.fault) {
        case Fault::SilentConnect: return;
        case Fault::SilentAfterWrite:
            if (writesCompleted_ > 0) return;
            break;
        case Fault::JunkConnect:
            if (connects_ <= config_.count) {
                const uint8_t junk[8] = {'L', 'S', 0, 0, '*', 0x21, 0x21, 0x21};
                Emit(out, junk);
                return;
            }
            break;
        case Fault::LongConnect: {
            std::vector<uint8_t> twelve(FrameFor(dbase::kFrameConnected).begin(),
                                        FrameFor(dbase::kFrameConnected).end());
            twelve.insert(twelve.end(), {'!', '!', '!', 'L'});
            Emit(out, twelve);
            return;
        }
        default: break;
        }
        Emit(out, FrameFor(dbase::kFrameConnected));
        return;
    }
    if (!IsRequest(f)) return;
    is256K_ = f[3] == 4;
    blocks_ = static_cast<int>(FileSize(is256K_) / dbase::kLinkBlockSize);
    block_ = 0;
    if (f[5] == 0xD4) {
        ++readRequests_;
        if (config_.fault == Fault::IgnoreReadRequest && (config_.count < 0 || readRequests_ <= config_.count)) return;
        Emit(out, FrameFor(dbase::kFrameAccepted));
        phase_ = Phase::AwaitQuery;
        return;
    }
    switch (config_.fault) {
    case Fault::SilentAccept: return;
    case Fault::WrongAccept:
        Emit(out, FrameFor(dbase::kFrameAccepted));
        Emit(out, FrameFor(dbase::kFrameCF));
        return;
    case Fault::JunkAccept: {
        const uint8_t junk[8] = {0x00, 'C', 'S', 0, 0, '*', 0, 0};
        Emit(out, junk);
        break;
    }
    default: break;
    }
    Emit(out, FrameFor(dbase::kFrameAccepted));
    Emit(out, FrameFor(dbase::kFrameQuery));
    incoming_.assign(FileSize(is256K_), 0);
    phase_ = Phase::Receiving;
}

void LoaderCore::SendBlock(std::vector<Answer>& out) {
    if (config_.fault == Fault::StopAfterBlocks && block_ >= config_.block) return;
    const auto& image = is256K_ ? channel_ : default_;
    std::vector<uint8_t> wire(image.begin() + static_cast<std::ptrdiff_t>(block_) * dbase::kLinkBlockSize,
                              image.begin() + static_cast<std::ptrdiff_t>(block_ + 1) * dbase::kLinkBlockSize);
    uint32_t sum = dbase::BlockSum(wire);
    if (config_.fault == Fault::BadSum && block_ == config_.block) sum += 1;
    const auto sumBytes = dbase::BlockSumBytes(sum);
    wire.insert(wire.end(), sumBytes.begin(), sumBytes.end());
    ++blocksSent_;
    Emit(out, wire);
}

} // namespace sim
