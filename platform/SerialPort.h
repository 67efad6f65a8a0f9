#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/Wakeup.h"

namespace qm {

// Millisecond time-outs with the semantics of the handheld's serial driver:
// a read waits at most multiplier * n + constant in all (both 0 = no total limit), and at
// most `readInterval` between two bytes once the first has arrived (0 or
// kReadIntervalNever = no interval limit). An interval of kReadIntervalNever with no total
// limit makes a read return at once with whatever is waiting. A read that times out is not
// an error: it returns fewer bytes than asked, possibly none.
inline constexpr uint32_t kReadIntervalNever = 0xFFFFFFFF;

struct SerialTimeouts {
    uint32_t readInterval = 0;
    uint32_t readTotalMultiplier = 0;
    uint32_t readTotalConstant = 0;
    uint32_t writeTotalMultiplier = 0;
    uint32_t writeTotalConstant = 0;

    bool hasReadTotal() const { return readTotalMultiplier != 0 || readTotalConstant != 0; }
    bool readReturnsAtOnce() const { return readInterval == kReadIntervalNever && !hasReadTotal(); }
    bool readIntervalLimits() const {
        return readInterval != 0 && readInterval != kReadIntervalNever;
    }

    friend bool operator==(const SerialTimeouts&, const SerialTimeouts&) = default;
};

enum class Parity : uint8_t { None, Odd, Even, Mark, Space };
enum class StopBits : uint8_t { One, OnePointFive, Two };
enum class LineControl : uint8_t { Disable, Enable, Handshake };

struct LineSettings {
    uint32_t baudRate = 0;
    uint8_t dataBits = 8;
    Parity parity = Parity::None;
    StopBits stopBits = StopBits::One;
    bool ctsOutputFlow = false;
    bool dsrOutputFlow = false;
    bool xonXoffOutput = false;
    bool xonXoffInput = false;
    LineControl dtrControl = LineControl::Disable;
    LineControl rtsControl = LineControl::Disable;

    friend bool operator==(const LineSettings&, const LineSettings&) = default;
};

// Modem status bits as the handheld reports them.
inline constexpr uint32_t kModemCts = 0x10;
inline constexpr uint32_t kModemDsr = 0x20;
// Event mask bit for CTS changes.
inline constexpr uint32_t kEventCts = 0x0008;

struct IoResult {
    bool ok = false;   // false: the call itself failed
    size_t count = 0;  // bytes moved
};

// One open serial device. Every call can fail; none throws.
class SerialPort {
public:
    virtual ~SerialPort() = default;

    virtual bool getTimeouts(SerialTimeouts& out) = 0;
    virtual bool setTimeouts(const SerialTimeouts& timeouts) = 0;
    virtual bool getLineSettings(LineSettings& out) = 0;
    virtual bool setLineSettings(const LineSettings& settings) = 0;

    virtual bool setRts(bool on) = 0;
    virtual bool getModemStatus(uint32_t& status) = 0;
    virtual bool setEventMask(uint32_t mask) = 0;
    // Bytes waiting in the input queue; asking also clears any line error condition.
    virtual bool inputQueueLength(uint32_t& count) = 0;

    virtual IoResult read(uint8_t* buffer, size_t count) = 0;
    virtual IoResult write(const uint8_t* bytes, size_t count) = 0;

    // read(), except that while no byte has come it also ends, with nothing read and no error,
    // once `endEarly` holds: it asks at the start and after every raise of `wake`. For a wait of
    // seconds that another thread may need to cut short; a byte that has come is always read.
    // A backend that cannot be woken leaves the wait to its time-outs.
    virtual IoResult readUnless(uint8_t* buffer, size_t count, Wakeup& wake,
                                const std::function<bool()>& endEarly) {
        static_cast<void>(wake);
        static_cast<void>(endEarly);
        return read(buffer, count);
    }

    // Makes a call in progress on another thread, and every later call, fail at once: for
    // shutting down while another thread may still be waiting on the line.
    virtual void abort() = 0;

    // True once the device behind the port is gone (unplugged, hung up, its node removed or
    // another put in its place), as against a call that failed on a device still there. Looks
    // without waiting, from any thread; once true it stays true.
    virtual bool deviceLost() { return false; }
};

// Tells of every change that may bring a port's device or take it away, from a thread of its
// own; the watch ends when this goes.
class PortWatch {
public:
    virtual ~PortWatch() = default;
    // Also tells once a second while on, for what no change shows (a device that another
    // program lets go, a device whose folder cannot be watched).
    virtual void setTicking(bool on) = 0;
};

// Opens a port by the handheld's name for it ("COM3:"), read and write, not shared,
// existing devices only. Returns null on failure.
class SerialPortOpener {
public:
    virtual ~SerialPortOpener() = default;
    virtual std::unique_ptr<SerialPort> open(const std::u16string& name) = 0;
    // Why the last open failed, worded for the user ("no such device"); empty after a
    // success, or when the backend cannot tell.
    virtual std::string lastFailure() const { return {}; }

    // Whether a device is at the name now (it may still refuse to be opened). From any thread.
    virtual bool devicePresent(const std::u16string& name) {
        static_cast<void>(name);
        return true;
    }
    // Calls `changed` whenever the device behind the name may have come, gone or been replaced;
    // null where the backend cannot tell.
    virtual std::unique_ptr<PortWatch> watchPort(const std::u16string& name,
                                                 std::function<void()> changed) {
        static_cast<void>(name);
        static_cast<void>(changed);
        return nullptr;
    }
};

}  // namespace qm
