// The two things the receiver link needs from its surroundings: a serial port
// offering exactly the operations the loader protocol uses, and a clock to
// wait with. Both are interfaces so that the protocol can be driven by a real
// port and the system clock, or by a simulated loader on virtual time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace dbase {

// A serial port as the link uses it. Reception is by polling: the link asks
// how many bytes wait and reads them; no events are delivered.
class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Opens port `number` (1-based) with the line settings in the form
    // "115200,N,8,1", closing the port first when it is open. Returns false
    // when the port can not be opened; LastError() then says why.
    virtual bool Open(int number, const std::string& settings) = 0;
    virtual bool IsOpen() const = 0;
    // Opens the device `path` from the next Open on, whatever number that
    // is given; an empty path goes back to numbers. A port that knows no
    // device paths ignores it.
    virtual void SelectDevice(const std::string& /*path*/) {}
    // Closes the port; does nothing when it is closed.
    virtual void Close() = 0;

    // The number of received bytes waiting to be read.
    virtual size_t InBufferCount() = 0;
    // Throws away the received bytes waiting to be read. It never touches
    // the output: bytes already written still go out on the line.
    virtual void DiscardInput() = 0;
    // Hands `bytes` to the line, in order and unaltered. Returns false when
    // the port is closed or the bytes could not be handed over.
    virtual bool Write(std::span<const uint8_t> bytes) = 0;
    // Moves up to `n` waiting bytes, oldest first, into `out` and returns how
    // many were moved.
    virtual size_t Read(uint8_t* out, size_t n) = 0;

    // Why the port failed (an open, a write, or the line itself while it
    // was open), as a sentence for the user that names the port; empty while
    // the port works. A successful Open clears it.
    virtual std::string LastError() const { return {}; }
};

// The time source of the link's waits and pauses.
class LinkClock {
public:
    virtual ~LinkClock() = default;
    // Waits `ms` milliseconds.
    virtual void SleepMs(int ms) = 0;
    // Milliseconds on a monotonic scale with an arbitrary origin.
    virtual int64_t NowMs() = 0;
};

// The system's monotonic clock and real sleeps.
class SteadyLinkClock final : public LinkClock {
public:
    void SleepMs(int ms) override;
    int64_t NowMs() override;
};

} // namespace dbase
