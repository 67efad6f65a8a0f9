#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "engine/ClosedPort.h"
#include "engine/LinkStatusCodes.h"
#include "engine/PacketTrace.h"
#include "engine/Packets.h"
#include "engine/ReplyPacket.h"
#include "platform/Clock.h"
#include "platform/SerialPort.h"
#include "platform/Wakeup.h"
#include "platform/WakingFlag.h"

namespace qm {

// The scan wedge thread as the link sees it: something to ask to stop and wait for.
class WorkerThread {
public:
    virtual ~WorkerThread() = default;
    virtual bool hasEnded() = 0;
};

// Whether a send waits for the engine's CMD_ACK.
enum class AwaitAck { No, Yes };

// Whether a packet read may end before its time-out when another thread wants the link:
// the scan cycle's wait for a decode, which can last seconds.
enum class PacketWait { Full, UntilLinkWanted };

// The one serial link to the scan engine, in three parts: the transport (the port, the wake
// handshake, acknowledged sends, packet reads, every outcome left in LinkStatus); the scanning
// thread it stops before its port closes; and the conversation a thread holds to have the
// engine to itself. What the scan works with is not the link's: state/LinkSettings.h.
class ScanEngineLink {
public:
    static constexpr size_t kPortNameUnits = 6;  // five characters and a terminator
    static constexpr uint32_t kWakePolls = 1000;
    static constexpr SerialTimeouts kStandingTimeouts{10, 3, 50, 3, 50};
    static constexpr size_t kReplyCapacity = ReplyPacket::kCapacity;

    ScanEngineLink(Clock& clock, SerialPortOpener& opener);
    ~ScanEngineLink();
    ScanEngineLink(const ScanEngineLink&) = delete;
    ScanEngineLink& operator=(const ScanEngineLink&) = delete;

    // The scanning thread, which closePort stops (2000 ms at most) before the port goes.
    std::unique_ptr<WorkerThread> threadHandle;
    // The scanning thread's one wake-up: everything it waits for raises it (its stop request,
    // the scanning flag, a trigger key, another thread that wants the link).
    Wakeup threadWake;
    WakingFlag stopRequested{threadWake, 0};

    // The transport.
    std::u16string portName;
    std::atomic<int32_t> LinkStatus{0};
    uint16_t attemptCount = 0;
    ParamSendTemplates paramSend;

    // Closes first, and closing stops a running scanning thread: a thread left running would
    // carry on against a port swapped under it. Whoever reopens starts the thread again.
    int openPort(const std::u16string& name);
    void closePort();
    bool isOpen() const { return open_; }

    // --- the device behind the port -----------------------------------------------------
    // A transaction that finds the device gone (unplugged, hung up, its node removed or
    // replaced) ends at once with kLinkDeviceGone, and so does every later one until the
    // port is reopened: the engine did not answer, so nothing may take it for a no-read.
    bool deviceGone() const { return deviceGone_; }
    // Open on a device that is still there as far as the link knows. From any thread.
    bool deviceConnected() const { return open_ && !deviceGone_; }
    // Raised whenever deviceConnected() changes (the device found gone, a port opened); a
    // subscriber (the main dialog, the panel icon, the reconnection) hears of it on the thread
    // that made the change, maybe one holding the link: it must not wait for the link itself.
    Wakeup deviceChanges;
    // Asks the open port, without waiting and without the link, whether its device is still
    // there: for a watch of the device folder while the link is idle. From any thread.
    bool probeDevice();
    // Lets go of a device found gone, so that the system can free it and a new one can take
    // its place; the link stays gone. Holds the link.
    void releaseLostDevice();
    // Opens the port at `portName` again, in place of the one before, without stopping the
    // scanning thread: under the link's hold it cannot be in a transaction. 1 when the new
    // device is open and configured; 0 leaves the link gone.
    int reopenPort();

    int32_t wakeEngine(uint32_t pollCount);
    uint32_t flushInput();
    int32_t sendCommand(const uint8_t* packet, size_t count, AwaitAck awaitAck);
    int32_t sendTriggerCommand(const uint8_t* packet, size_t count);
    // A request whose answer the caller reads itself: sendCommand without awaiting, except
    // that whatever arrives from the write on stays in the input queue for the caller.
    // 0, 13 or 20; also in LinkStatus.
    int32_t sendRequest(const uint8_t* packet, size_t count);
    // With PacketWait::UntilLinkWanted the wait for the length byte also ends, as if none
    // came, once another thread wants the link or the device is found gone; a packet that has
    // begun is read whole.
    int32_t receivePacket(uint8_t* buffer, uint32_t& byteCount, uint32_t timeoutMs,
                          PacketWait wait = PacketWait::Full);
    int32_t aimOn();
    int32_t aimOff();

    // The conversation. A whole one with the engine (a scan cycle, a parameter change, a burn)
    // holds this, so that two threads never interleave packets on the line. Every single
    // transaction holds it too; it is recursive, so a conversation can nest them.
    // A thread that has to wait for it says so first (linkWanted), so that a conversation that
    // can end early does.
    using LinkHold = std::unique_lock<std::recursive_timed_mutex>;
    LinkHold holdLink() {
        LinkHold hold(conversation_, std::try_to_lock);
        if (!hold.owns_lock()) {
            const Wanting wanting(*this);
            hold.lock();
        }
        return hold;
    }
    // The same, giving up after `ms` milliseconds of real time (the hold is then not owned).
    // Polled rather than a timed wait, which the thread sanitizer cannot see being taken.
    LinkHold holdLinkFor(int64_t ms) {
        LinkHold hold(conversation_, std::try_to_lock);
        if (hold.owns_lock()) return hold;
        const Wanting wanting(*this);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!hold.owns_lock() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            static_cast<void>(hold.try_lock());
        }
        return hold;
    }
    // Another thread waits to hold the link, or to close it under the scanning thread: what
    // holds it now should end what it can end early (a scan cycle's waits).
    bool linkWanted() const { return wanting_.load() > 0; }

    // True once closePort has given up waiting for the scanning thread and aborted the
    // port under it: everything still running should end as fast as it can.
    bool shuttingDown() const { return portAborted_; }

    Clock& clock() { return clock_; }

    // Off (null) unless a program installs one; it must outlive every transaction.
    void setTrace(PacketTrace* trace) { trace_.store(trace, std::memory_order_release); }
    PacketTrace* trace() const { return trace_.load(std::memory_order_acquire); }
    // For the parameter exchange, which reads its replies itself.
    void traceReceived(const uint8_t* bytes, size_t count) {
        if (PacketTrace* const traced = trace())
            traced->packetReceived(clock_.nowMicros(), bytes, count);
    }
    // The open port, or one whose every call fails while the link is closed or its device gone;
    // for the parameter exchange, which reads its replies itself.
    SerialPort& port() { return portHandle_ && !deviceGone_ ? *portHandle_ : closedPort_; }

private:
    // Counts a thread waiting for the link while it lives, and wakes the scanning thread.
    class Wanting {
    public:
        explicit Wanting(ScanEngineLink& link) : link_(link) {
            ++link_.wanting_;
            link_.threadWake.raise();
        }
        ~Wanting() { --link_.wanting_; }
        Wanting(const Wanting&) = delete;
        Wanting& operator=(const Wanting&) = delete;

    private:
        ScanEngineLink& link_;
    };

    static bool configureLine(SerialPort& port);
    void replacePort(std::unique_ptr<SerialPort> port, bool gone);
    // Under the link's hold: true, with the link marked gone, once the port says its device
    // is gone.
    bool noticeLostDevice();
    void markDeviceGone();
    // kLinkDeviceGone in place of `code` when the device is gone.
    int32_t lostOr(int32_t code);
    int32_t endGone();
    bool writePacketAndLowerRts(const uint8_t* packet, size_t count, IoResult& written);
    bool writeWhole(const uint8_t* packet, size_t count);
    bool retryAfterPause();
    int32_t finishSendCommand(int32_t result);
    void stopWorkerThread();

    Clock& clock_;
    SerialPortOpener& opener_;
    // Replaced only under both the link's hold and this: a transaction (which holds the link) and
    // probeDevice (which holds this) each keep it alive while they use it.
    std::mutex portMutex_;
    std::unique_ptr<SerialPort> portHandle_;
    std::atomic<bool> open_{false};
    std::atomic<bool> deviceGone_{false};
    ClosedPort closedPort_;
    std::recursive_timed_mutex conversation_;
    std::atomic<int> wanting_{0};
    std::atomic<bool> portAborted_{false};
    std::atomic<PacketTrace*> trace_{nullptr};
};

// Saves the port's time-outs, installs others, and puts the saved ones back when it ends.
class ScopedTimeouts {
public:
    ScopedTimeouts(SerialPort& port, const SerialTimeouts& timeouts);
    // Changes the read time-outs only.
    ScopedTimeouts(SerialPort& port, uint32_t interval, uint32_t multiplier, uint32_t constant);
    ~ScopedTimeouts();
    ScopedTimeouts(const ScopedTimeouts&) = delete;
    ScopedTimeouts& operator=(const ScopedTimeouts&) = delete;

private:
    SerialPort& port_;
    SerialTimeouts saved_{};
    bool restore_ = false;
};

}  // namespace qm
