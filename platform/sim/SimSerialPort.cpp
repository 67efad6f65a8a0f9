#include "platform/sim/SimSerialPort.h"

#include <algorithm>
#include <atomic>
#include <deque>
#include <mutex>
#include <optional>

namespace qm::sim {

struct SimLine {
    SimLine(Clock& c, SimEngine& e, std::u16string name)
        : clock(c), engine(e), acceptedName(std::move(name)) {}

    Clock& clock;
    SimEngine& engine;
    const std::u16string acceptedName;
    std::mutex mutex;
    SimLineObservation seen;
    std::deque<uint8_t> arrived;  // bytes in the input queue, oldest first
};

namespace {

// Longest single sleep of a waiting read, so it notices bytes another thread's write
// has caused in the meantime.
constexpr int64_t kLongestNapMicros = 10'000;

int64_t msToMicros(uint64_t ms) { return static_cast<int64_t>(ms) * 1000; }

std::optional<int64_t> earliest(std::optional<int64_t> a, std::optional<int64_t> b) {
    if (!a) return b;
    if (!b) return a;
    return std::min(*a, *b);
}

class SimSerialPort : public SerialPort {
public:
    SimSerialPort(std::shared_ptr<SimLine> line, uint64_t plugCount)
        : line_(std::move(line)), plugCount_(plugCount) {}

    ~SimSerialPort() override {
        std::lock_guard lock(line_->mutex);
        line_->seen.open = false;
        line_->seen.rts = false;
        line_->engine.setRts(false, line_->clock.nowMicros());
    }

    bool getTimeouts(SerialTimeouts& out) override {
        std::lock_guard lock(line_->mutex);
        if (disconnected()) return false;
        out = line_->seen.timeouts;
        return true;
    }

    bool setTimeouts(const SerialTimeouts& timeouts) override {
        std::lock_guard lock(line_->mutex);
        if (disconnected()) return false;
        line_->seen.timeouts = timeouts;
        return true;
    }

    bool getLineSettings(LineSettings& out) override {
        std::lock_guard lock(line_->mutex);
        if (disconnected()) return false;
        out = line_->seen.line;
        return true;
    }

    // As on the handheld, RTS control "enable" raises RTS and "disable" lowers it.
    bool setLineSettings(const LineSettings& settings) override {
        std::lock_guard lock(line_->mutex);
        if (disconnected()) return false;
        line_->seen.line = settings;
        driveRts(settings.rtsControl != LineControl::Disable);
        return true;
    }

    bool setRts(bool on) override {
        std::lock_guard lock(line_->mutex);
        const EngineFaults faults = line_->engine.faultsSnapshot();
        if (faults.disconnected || faults.rtsFails || deviceLost()) return false;
        if (on) ++line_->seen.rtsRaises;
        driveRts(on);
        return true;
    }

    bool getModemStatus(uint32_t& status) override {
        std::lock_guard lock(line_->mutex);
        ++line_->seen.modemStatusReads;
        const EngineFaults faults = line_->engine.faultsSnapshot();
        if (faults.disconnected || faults.modemStatusFails || deviceLost()) return false;
        status = line_->engine.cts() ? kModemCts : 0;
        return true;
    }

    bool setEventMask(uint32_t mask) override {
        std::lock_guard lock(line_->mutex);
        if (disconnected()) return false;
        line_->seen.eventMask = mask;
        return true;
    }

    bool inputQueueLength(uint32_t& count) override {
        std::lock_guard lock(line_->mutex);
        if (disconnected()) return false;
        collectArrived();
        count = static_cast<uint32_t>(line_->arrived.size());
        return true;
    }

    IoResult read(uint8_t* buffer, size_t count) override {
        return readCutShort(buffer, count, nullptr, nullptr);
    }
    IoResult readUnless(uint8_t* buffer, size_t count, Wakeup& wake,
                        const std::function<bool()>& endEarly) override {
        return readCutShort(buffer, count, &wake, &endEarly);
    }
    IoResult write(const uint8_t* bytes, size_t count) override;
    void abort() override { aborted_ = true; }
    // Unplugged since it was opened, whether or not the engine is back.
    bool deviceLost() override { return line_->engine.plugCount() != plugCount_; }

private:
    // An aborted port fails like one whose cable was pulled, and so does one whose engine was
    // unplugged since it was opened.
    bool disconnected() {
        return aborted_ || line_->engine.faultsSnapshot().disconnected || deviceLost();
    }

    void driveRts(bool on) {
        line_->seen.rts = on;
        line_->engine.setRts(on, line_->clock.nowMicros());
    }

    void collectArrived() {
        for (uint8_t byte : line_->engine.takeBytesDue(line_->clock.nowMicros())) {
            line_->arrived.push_back(byte);
        }
    }

    size_t takeArrived(uint8_t* buffer, size_t wanted) {
        std::lock_guard lock(line_->mutex);
        collectArrived();
        const size_t taken = std::min(wanted, line_->arrived.size());
        std::copy_n(line_->arrived.begin(), taken, buffer);
        line_->arrived.erase(line_->arrived.begin(), line_->arrived.begin() + taken);
        return taken;
    }

    void sleepUntil(int64_t timeMicros) {
        const int64_t nap = std::min(timeMicros - line_->clock.nowMicros(), kLongestNapMicros);
        line_->clock.sleepMicros(std::max<int64_t>(nap, 0));
    }

    // The same nap, ended by a raise of `wake` since `ticket`.
    void napUnless(int64_t timeMicros, Wakeup& wake, Wakeup::Ticket ticket) {
        Clock& clock = line_->clock;
        wake.waitUntil(clock, ticket, std::min(timeMicros, clock.nowMicros() + kLongestNapMicros));
    }

    // read(); with `wake`, readUnless().
    IoResult readCutShort(uint8_t* buffer, size_t count, Wakeup* wake,
                          const std::function<bool()>* endEarly);

    std::shared_ptr<SimLine> line_;
    const uint64_t plugCount_;
    std::atomic<bool> aborted_{false};
};

class SimPortWatch : public PortWatch {
public:
    SimPortWatch(SimEngine& engine, std::function<void()> changed)
        : subscription_(engine.plugChanges().subscribe(std::move(changed))) {}
    void setTicking(bool) override {}

private:
    Wakeup::Subscription subscription_;
};

IoResult SimSerialPort::readCutShort(uint8_t* buffer, size_t count, Wakeup* wake,
                                     const std::function<bool()>* endEarly) {
    const EngineFaults faults = line_->engine.faultsSnapshot();
    if (faults.disconnected || faults.readFails || aborted_ || deviceLost()) return {false, 0};
    SerialTimeouts timeouts;
    {
        std::lock_guard lock(line_->mutex);
        timeouts = line_->seen.timeouts;
    }
    Clock& clock = line_->clock;
    const bool returnAtOnce = timeouts.readReturnsAtOnce();
    std::optional<int64_t> totalDeadline;
    if (timeouts.hasReadTotal()) {
        totalDeadline =
            clock.nowMicros() +
            msToMicros(uint64_t{timeouts.readTotalMultiplier} * count + timeouts.readTotalConstant);
    }
    size_t got = 0;
    int64_t lastByteMicros = 0;
    while (true) {
        if (aborted_ || deviceLost()) return {false, got};
        const Wakeup::Ticket ticket = wake ? wake->ticket() : 0;
        const size_t taken = takeArrived(buffer + got, count - got);
        if (taken > 0) lastByteMicros = clock.nowMicros();
        got += taken;
        if (got == count || returnAtOnce) return {true, got};
        if (got == 0 && endEarly && (*endEarly)()) return {true, 0};
        std::optional<int64_t> limit = totalDeadline;
        if (got > 0 && timeouts.readIntervalLimits()) {
            limit = earliest(limit, lastByteMicros + msToMicros(timeouts.readInterval));
        }
        const std::optional<int64_t> next = line_->engine.nextByteTime();
        int64_t until = clock.nowMicros() + kLongestNapMicros;
        if (next && (!limit || *next <= *limit)) {
            until = *next;
        } else if (limit && clock.nowMicros() >= *limit) {
            return {true, got};
        } else if (limit) {
            until = *limit;
        }
        if (wake) {
            napUnless(until, *wake, ticket);
        } else {
            sleepUntil(until);
        }
    }
}

// Each byte takes one byte time on the wire; the call returns once the last has gone.
IoResult SimSerialPort::write(const uint8_t* bytes, size_t count) {
    const EngineFaults faults = line_->engine.faultsSnapshot();
    if (faults.disconnected || faults.writeFails || aborted_ || deviceLost()) return {false, 0};
    SerialTimeouts timeouts;
    {
        std::lock_guard lock(line_->mutex);
        timeouts = line_->seen.timeouts;
    }
    const int64_t byteMicros = SimEngine::kByteMicros;
    const int64_t limitMicros =
        msToMicros(uint64_t{timeouts.writeTotalMultiplier} * count + timeouts.writeTotalConstant);
    size_t sent = count;
    if (limitMicros > 0) sent = std::min<size_t>(count, limitMicros / byteMicros);
    Clock& clock = line_->clock;
    const int64_t start = clock.nowMicros();
    for (size_t i = 0; i < sent; ++i) {
        line_->engine.receiveByte(bytes[i], start + static_cast<int64_t>(i + 1) * byteMicros);
    }
    const int64_t end =
        sent < count ? start + limitMicros : start + static_cast<int64_t>(sent) * byteMicros;
    clock.sleepMicros(end - clock.nowMicros());
    return {true, sent};
}

}  // namespace

SimSerialPortOpener::SimSerialPortOpener(Clock& clock, SimEngine& engine,
                                         std::u16string acceptedName)
    : line_(std::make_shared<SimLine>(clock, engine, std::move(acceptedName))) {
    line_->seen.line = initialLineSettings();
}

SimSerialPortOpener::~SimSerialPortOpener() = default;

std::unique_ptr<SerialPort> SimSerialPortOpener::open(const std::u16string& name) {
    std::lock_guard lock(line_->mutex);
    if (name != line_->acceptedName || line_->seen.open) return nullptr;
    if (line_->engine.faultsSnapshot().disconnected) return nullptr;
    line_->seen.open = true;
    ++line_->seen.opens;
    line_->arrived.clear();
    return std::make_unique<SimSerialPort>(line_, line_->engine.plugCount());
}

bool SimSerialPortOpener::devicePresent(const std::u16string& name) {
    return name == line_->acceptedName && line_->engine.pluggedIn();
}

std::unique_ptr<PortWatch> SimSerialPortOpener::watchPort(const std::u16string& name,
                                                          std::function<void()> changed) {
    if (name != line_->acceptedName) return nullptr;
    return std::make_unique<SimPortWatch>(line_->engine, std::move(changed));
}

SimLineObservation SimSerialPortOpener::observe() {
    std::lock_guard lock(line_->mutex);
    return line_->seen;
}

LineSettings SimSerialPortOpener::initialLineSettings() {
    LineSettings line;
    line.baudRate = 115200;
    line.dataBits = 7;
    line.parity = Parity::Even;
    line.stopBits = StopBits::Two;
    line.ctsOutputFlow = true;
    line.dsrOutputFlow = true;
    line.xonXoffOutput = true;
    line.xonXoffInput = true;
    line.dtrControl = LineControl::Disable;
    line.rtsControl = LineControl::Disable;
    return line;
}

}  // namespace qm::sim
