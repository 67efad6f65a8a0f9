#include "engine/ScanEngineLink.h"

#include "engine/TracedTransaction.h"
#include "platform/Clock.h"

namespace qm {

namespace {

constexpr int64_t kPauseAfterWriteMs = 10;
constexpr int64_t kRetryPauseMs = 50;
constexpr int64_t kExtendedAckPauseMs = 100;
constexpr int64_t kAimPauseMs = 50;
constexpr int64_t kThreadJoinLimitMs = 2000;
constexpr uint32_t kTriggerReplyInterval = 2;
constexpr uint32_t kTriggerReplyMultiplier = 2;
constexpr uint32_t kTriggerReplyConstant = 20;
constexpr uint32_t kPacketInterval = 10;
constexpr uint32_t kPacketMultiplier = 2;

bool isExtendedParameterChange(const uint8_t* packet, size_t count) {
    return count > 5 && packet[5] == kExtendedPrefix;
}

}  // namespace

ScopedTimeouts::ScopedTimeouts(SerialPort& port, const SerialTimeouts& timeouts) : port_(port) {
    restore_ = port_.getTimeouts(saved_);
    port_.setTimeouts(timeouts);
}

ScopedTimeouts::ScopedTimeouts(SerialPort& port, uint32_t interval, uint32_t multiplier,
                               uint32_t constant)
    : port_(port) {
    restore_ = port_.getTimeouts(saved_);
    SerialTimeouts changed = saved_;
    changed.readInterval = interval;
    changed.readTotalMultiplier = multiplier;
    changed.readTotalConstant = constant;
    port_.setTimeouts(changed);
}

ScopedTimeouts::~ScopedTimeouts() {
    if (restore_) port_.setTimeouts(saved_);
}

ScanEngineLink::ScanEngineLink(Clock& clock, SerialPortOpener& opener)
    : clock_(clock), opener_(opener) {}

ScanEngineLink::~ScanEngineLink() { closePort(); }

int ScanEngineLink::openPort(const std::u16string& name) {
    portName = name.substr(0, kPortNameUnits - 1);
    closePort();
    std::unique_ptr<SerialPort> opened = opener_.open(portName);
    if (!opened) return 0;
    if (!opened->setTimeouts(kStandingTimeouts) || !configureLine(*opened)) return 0;
    replacePort(std::move(opened), false);
    deviceChanges.raise();
    return 1;
}

bool ScanEngineLink::configureLine(SerialPort& port) {
    LineSettings line;
    if (!port.getLineSettings(line)) return false;
    line.baudRate = 9600;
    line.dataBits = 8;
    line.parity = Parity::None;
    line.stopBits = StopBits::One;
    line.ctsOutputFlow = false;
    line.dsrOutputFlow = false;
    line.xonXoffOutput = false;
    line.xonXoffInput = false;
    line.dtrControl = LineControl::Enable;
    line.rtsControl = LineControl::Enable;
    return port.setLineSettings(line);
}

void ScanEngineLink::closePort() {
    if (threadHandle) stopWorkerThread();
    replacePort(nullptr, false);
    portAborted_ = false;
}

void ScanEngineLink::replacePort(std::unique_ptr<SerialPort> port, bool gone) {
    std::lock_guard lock(portMutex_);
    portHandle_ = std::move(port);
    open_ = portHandle_ != nullptr;
    deviceGone_ = gone;
}

bool ScanEngineLink::probeDevice() {
    {
        std::lock_guard lock(portMutex_);
        if (!portHandle_ || deviceGone_ || !portHandle_->deviceLost()) return deviceConnected();
    }
    markDeviceGone();
    return false;
}

void ScanEngineLink::releaseLostDevice() {
    if (!deviceGone_ || !open_) return;
    const auto hold = holdLink();
    if (deviceGone_) replacePort(nullptr, true);
}

// The device behind the old port is gone, and the new one may be at the very node the old
// one held (which an exclusive open would refuse): the old goes first.
int ScanEngineLink::reopenPort() {
    const auto hold = holdLink();
    replacePort(nullptr, true);
    std::unique_ptr<SerialPort> opened = opener_.open(portName);
    if (!opened || !opened->setTimeouts(kStandingTimeouts) || !configureLine(*opened)) return 0;
    replacePort(std::move(opened), false);
    deviceChanges.raise();
    threadWake.raise();
    return 1;
}

bool ScanEngineLink::noticeLostDevice() {
    if (deviceGone_) return true;
    if (!portHandle_ || !portHandle_->deviceLost()) return false;
    markDeviceGone();
    return true;
}

void ScanEngineLink::markDeviceGone() {
    if (deviceGone_.exchange(true)) return;
    threadWake.raise();
    deviceChanges.raise();
}

int32_t ScanEngineLink::lostOr(int32_t code) { return noticeLostDevice() ? kLinkDeviceGone : code; }

int32_t ScanEngineLink::endGone() {
    LinkStatus = kLinkDeviceGone;
    return kLinkDeviceGone;
}

// A running scan cycle sees the link wanted and ends what it can end early (its waits),
// then the thread notices the request. Past the time limit the port is aborted under it,
// which ends the cycle at once; only then is the thread released, so nothing it still uses
// is freed while it runs.
void ScanEngineLink::stopWorkerThread() {
    const Wanting wanting(*this);
    stopRequested = 1;
    const int64_t start = clock_.nowMs();
    while (!threadHandle->hasEnded() && clock_.nowMs() - start < kThreadJoinLimitMs) {
        clock_.sleepMs(1);
    }
    if (!threadHandle->hasEnded()) {
        portAborted_ = true;
        std::lock_guard lock(portMutex_);
        if (portHandle_) portHandle_->abort();
    }
    threadHandle.reset();
}

int32_t ScanEngineLink::wakeEngine(uint32_t pollCount) {
    const auto hold = holdLink();
    if (deviceGone_) return endGone();
    SerialPort& line = port();
    uint32_t status = 0;
    line.setEventMask(kEventCts);
    line.getModemStatus(status);

    int32_t result = kLinkOk;
    if (!line.setRts(true)) {
        result = lostOr(kLinkWakeFailed);
    } else {
        clock_.sleepMs(kPauseAfterWriteMs);
        uint32_t polls = 0;
        uint32_t failedReads = 0;
        bool retryAtOnce = true;
        for (;;) {
            if (!line.getModemStatus(status)) {
                if (noticeLostDevice()) {
                    result = kLinkDeviceGone;
                    break;
                }
                if (++failedReads >= pollCount) {
                    result = kLinkModemStatusFailed;
                    break;
                }
                if (!retryAtOnce) clock_.sleepMs(1);
                retryAtOnce = false;
                continue;
            }
            retryAtOnce = true;
            if (status & kModemCts) break;
            if (++polls >= pollCount) {
                result = kLinkCtsTimeout;
                break;
            }
            clock_.sleepMs(1);
        }
    }
    LinkStatus = result;
    return result;
}

uint32_t ScanEngineLink::flushInput() {
    const auto hold = holdLink();
    SerialPort& line = port();
    uint32_t waiting = 0;
    if (!line.inputQueueLength(waiting)) return 0;
    for (uint32_t i = 0; i < waiting; ++i) {
        uint8_t discarded = 0;
        if (!line.read(&discarded, 1).ok) break;
    }
    return waiting;
}

bool ScanEngineLink::writePacketAndLowerRts(const uint8_t* packet, size_t count,
                                            IoResult& written) {
    PacketTrace* const trace = trace_.load(std::memory_order_acquire);
    const int64_t leaving = trace ? clock_.nowMicros() : 0;
    written = port().write(packet, count);
    if (trace) trace->packetSent(leaving, packet, count, written);
    clock_.sleepMs(kPauseAfterWriteMs);
    port().setRts(false);
    return written.ok;
}

bool ScanEngineLink::writeWhole(const uint8_t* packet, size_t count) {
    IoResult written;
    return writePacketAndLowerRts(packet, count, written) && written.count == count;
}

bool ScanEngineLink::retryAfterPause() {
    if (attemptCount >= 2) return false;
    ++attemptCount;
    clock_.sleepMs(kRetryPauseMs);
    return true;
}

int32_t ScanEngineLink::finishSendCommand(int32_t result) {
    flushInput();
    LinkStatus = result;
    return result;
}

int32_t ScanEngineLink::sendCommand(const uint8_t* packet, size_t count, AwaitAck awaitAck) {
    const auto hold = holdLink();
    const TracedTransaction traced(*this, "sendCommand");
    if (deviceGone_) return endGone();
    LinkStatus = kLinkOk;
    attemptCount = 0;
    do {
        flushInput();
        if (const int32_t woken = wakeEngine(kWakePolls); woken != kLinkOk) {
            LinkStatus = woken == kLinkDeviceGone ? kLinkDeviceGone : kLinkWakeFailed;
            return LinkStatus;
        }
        if (!writeWhole(packet, count)) {
            if (noticeLostDevice()) return endGone();
            continue;
        }
        if (awaitAck == AwaitAck::No) return finishSendCommand(kLinkOk);
        if (isExtendedParameterChange(packet, count)) clock_.sleepMs(kExtendedAckPauseMs);
        const ReplyPacket reply = readReplyPacket(port());
        traceReceived(reply.bytes, reply.received);
        if (reply.readFailed) {
            LinkStatus = lostOr(kLinkReplyReadError);
            return LinkStatus;
        }
        if (reply.isWholeWithOpcode(kOpCmdAck)) return finishSendCommand(kLinkOk);
    } while (retryAfterPause());
    return finishSendCommand(kLinkNotAcknowledged);
}

// Bytes that came during the wake cannot be the answer, so they go; the answer may begin
// while the write is still settling, so nothing after the write is flushed.
int32_t ScanEngineLink::sendRequest(const uint8_t* packet, size_t count) {
    const auto hold = holdLink();
    const TracedTransaction traced(*this, "sendRequest");
    if (deviceGone_) return endGone();
    LinkStatus = kLinkOk;
    attemptCount = 0;
    do {
        flushInput();
        if (const int32_t woken = wakeEngine(kWakePolls); woken != kLinkOk) {
            LinkStatus = woken == kLinkDeviceGone ? kLinkDeviceGone : kLinkWakeFailed;
            return LinkStatus;
        }
        flushInput();
        if (writeWhole(packet, count)) {
            LinkStatus = kLinkOk;
            return kLinkOk;
        }
        if (noticeLostDevice()) return endGone();
    } while (retryAfterPause());
    return finishSendCommand(kLinkNotAcknowledged);
}

int32_t ScanEngineLink::sendTriggerCommand(const uint8_t* packet, size_t count) {
    const auto hold = holdLink();
    const TracedTransaction traced(*this, "sendTriggerCommand");
    if (deviceGone_) return endGone();
    LinkStatus = kLinkOk;
    attemptCount = 0;
    do {
        if (const int32_t woken = wakeEngine(kWakePolls); woken != kLinkOk) {
            LinkStatus = woken == kLinkDeviceGone ? kLinkDeviceGone : kLinkWakeFailed;
            return LinkStatus;
        }
        flushInput();
        IoResult written;
        if (!writePacketAndLowerRts(packet, count, written)) {
            LinkStatus = lostOr(kLinkWriteFailed);
            return LinkStatus;
        }
        ReplyPacket reply;
        {
            ScopedTimeouts quick(port(), kTriggerReplyInterval, kTriggerReplyMultiplier,
                                 kTriggerReplyConstant);
            reply = readReplyPacket(port());
        }
        traceReceived(reply.bytes, reply.received);
        if (reply.readFailed) {
            LinkStatus = lostOr(kLinkReplyReadError);
            return LinkStatus;
        }
        if (reply.isWholeWithOpcode(kOpCmdAck)) {
            LinkStatus = kLinkOk;
            return kLinkOk;
        }
        if (!reply.isWholeWithOpcode(kOpCmdNak)) flushInput();
    } while (retryAfterPause());
    LinkStatus = kLinkNotAcknowledged;
    return kLinkNotAcknowledged;
}

int32_t ScanEngineLink::receivePacket(uint8_t* buffer, uint32_t& byteCount, uint32_t timeoutMs,
                                      PacketWait wait) {
    const auto hold = holdLink();
    const TracedTransaction traced(*this, "receivePacket");
    if (deviceGone_) return endGone();
    SerialPort& line = port();
    const auto readLength = [&](uint8_t& length) {
        if (wait == PacketWait::Full) return line.read(&length, 1);
        return line.readUnless(&length, 1, threadWake,
                               [this] { return linkWanted() || deviceGone_; });
    };
    int32_t result = kLinkOk;
    {
        ScopedTimeouts packetTimeouts(line, kPacketInterval, kPacketMultiplier, timeoutMs);
        uint8_t length = 0;
        IoResult got = readLength(length);
        if (!got.ok && noticeLostDevice()) {
            result = kLinkDeviceGone;
        } else if (!got.ok || got.count == 0) {
            clock_.sleepMs(1);
            got = readLength(length);
            if (!got.ok)
                result = lostOr(kLinkLengthReadError);
            else if (got.count == 0)
                result = kLinkNoLengthByte;
        }
        if (result == kLinkOk) {
            clock_.sleepMs(2 * static_cast<int64_t>(length));
            buffer[0] = length;
            const size_t wanted = static_cast<size_t>(length) + 1;
            const IoResult body = line.read(buffer + 1, wanted);
            if (!body.ok) {
                result = lostOr(kLinkBodyReadError);
            } else {
                byteCount = static_cast<uint32_t>(body.count + 1);
                result = body.count == wanted ? kLinkOk : kLinkShortPacket;
            }
            traceReceived(buffer, body.ok ? body.count + 1 : 1);
        }
    }
    // The wait may have ended because the device was found gone meanwhile.
    if (result != kLinkOk && deviceGone_) result = kLinkDeviceGone;
    LinkStatus = result;
    return result;
}

int32_t ScanEngineLink::aimOn() {
    const auto hold = holdLink();
    sendCommand(AIM_ON.data(), AIM_ON.size(), AwaitAck::Yes);
    clock_.sleepMs(kAimPauseMs);
    return LinkStatus;
}

int32_t ScanEngineLink::aimOff() {
    const auto hold = holdLink();
    sendCommand(AIM_OFF.data(), AIM_OFF.size(), AwaitAck::Yes);
    clock_.sleepMs(kAimPauseMs);
    return LinkStatus;
}

}  // namespace qm
