#include "platform/sim/SimEngine.h"

#include <algorithm>

#include "platform/sim/SimDecodeFormat.h"
#include "platform/sim/SimEnginePacket.h"
#include "platform/sim/SimEngineSymbology.h"

namespace qm::sim {
namespace {

constexpr uint8_t kParamTransmitNoRead = 94;
constexpr uint8_t kParamScanTime = 136;
constexpr uint8_t kParamAimTime = 237;
constexpr int64_t kTenthMicros = 100'000;
constexpr uint8_t kRequestAll = 0xFE;
constexpr size_t kShortReplyBytes = 6;
constexpr CodeIds kNoReadIds{"]Z0", '?'};
constexpr char kRevision[] = "SIM01";

bool isAcknowledgedCommand(uint8_t opcode) {
    switch (opcode) {
        case kSimOpAimOn:
        case kSimOpAimOff:
        case kSimOpStartDecode:
        case kSimOpStopDecode:
        case kSimOpScanEnable:
        case kSimOpScanDisable:
        case kSimOpParamDefaults:
        case kSimOpParamSend:
        case kSimOpLedOff:
            return true;
        default:
            return false;
    }
}

std::vector<uint8_t> fixedReply(uint8_t opcode) {
    return simFramePacket(opcode, {}, kSimHandshakeSource);
}

void rewriteChecksum(std::vector<uint8_t>& packet) {
    const size_t length = packet[0];
    const uint16_t checksum = simChecksum(packet.data(), length);
    packet[length] = static_cast<uint8_t>(checksum >> 8);
    packet[length + 1] = static_cast<uint8_t>(checksum & 0xFF);
}

}  // namespace

SimEngine::SimEngine() : SimEngine(factorySimpleParameters()) {}

SimEngine::SimEngine(const SimpleParameterTable& simpleParameters)
    : simple_(simpleParameters), extended_(factoryExtendedParameters()) {}

// --- host side -----------------------------------------------------------------------

void SimEngine::receiveByte(uint8_t byte, int64_t timeMicros) {
    std::lock_guard lock(mutex_);
    noteTime(timeMicros);
    if (auto packet = framer_.add(byte, timeMicros)) handlePacket(*packet, timeMicros);
}

std::vector<uint8_t> SimEngine::takeBytesDue(int64_t timeMicros) {
    std::lock_guard lock(mutex_);
    noteTime(timeMicros);
    std::vector<uint8_t> due;
    while (!outgoing_.empty() && outgoing_.front().dueMicros <= timeMicros) {
        due.push_back(outgoing_.front().byte);
        outgoing_.pop_front();
    }
    return due;
}

std::optional<int64_t> SimEngine::nextByteTime() {
    std::lock_guard lock(mutex_);
    if (!outgoing_.empty()) return outgoing_.front().dueMicros;
    if (pending_ && pending_->packet) {
        return std::max(pending_->sendMicros, lineFreeMicros_) + kByteMicros;
    }
    return std::nullopt;
}

void SimEngine::setRts(bool on, int64_t timeMicros) {
    std::lock_guard lock(mutex_);
    noteTime(timeMicros);
    rts_ = on;
}

bool SimEngine::cts() {
    std::lock_guard lock(mutex_);
    return rts_ && !faults_.ctsNeverRises;
}

EngineFaults SimEngine::faultsSnapshot() {
    std::lock_guard lock(mutex_);
    return faults_;
}

// --- test and scenario side ------------------------------------------------------------

EngineFaults& SimEngine::faults() { return faults_; }

void SimEngine::setFaults(const EngineFaults& faults) {
    std::lock_guard lock(mutex_);
    faults_ = faults;
}

void SimEngine::setParameter(uint8_t number, uint8_t value) {
    std::lock_guard lock(mutex_);
    simple_.setPermanent(number, value);
}

void SimEngine::setExtendedParameter(uint8_t number, uint8_t value) {
    std::lock_guard lock(mutex_);
    extended_.setPermanent(number, value);
}

uint8_t SimEngine::parameter(uint8_t number) {
    std::lock_guard lock(mutex_);
    return simple_.current(number);
}

uint8_t SimEngine::extendedParameter(uint8_t number) {
    std::lock_guard lock(mutex_);
    return extended_.current(number);
}

uint8_t SimEngine::permanentParameter(uint8_t number) {
    std::lock_guard lock(mutex_);
    return simple_.permanent(number);
}

uint8_t SimEngine::permanentExtendedParameter(uint8_t number) {
    std::lock_guard lock(mutex_);
    return extended_.permanent(number);
}

void SimEngine::placeBarcode(const Barcode& barcode) {
    std::lock_guard lock(mutex_);
    barcode_ = barcode;
}

void SimEngine::removeBarcode() {
    std::lock_guard lock(mutex_);
    barcode_.reset();
}

bool SimEngine::aiming() {
    std::lock_guard lock(mutex_);
    return aimOn_ || (pending_ && latestMicros_ < pending_->aimEndsMicros);
}

void SimEngine::sendRaw(const std::vector<uint8_t>& bytes, int64_t nowMicros, int64_t delayMicros) {
    std::lock_guard lock(mutex_);
    noteTime(nowMicros);
    enqueue(bytes, nowMicros + delayMicros);
}

std::vector<ReceivedPacket> SimEngine::received() {
    std::lock_guard lock(mutex_);
    return received_;
}

void SimEngine::clearReceived() {
    std::lock_guard lock(mutex_);
    received_.clear();
}

void SimEngine::powerCycle() {
    std::lock_guard lock(mutex_);
    powerCycleLocked();
}

void SimEngine::unplug() {
    {
        std::lock_guard lock(mutex_);
        pluggedIn_ = false;
        ++plugCount_;
        faults_.disconnected = true;
        outgoing_.clear();
        framer_ = SimEngineFramer{};
        rts_ = false;
        aimOn_ = false;
        pending_.reset();
    }
    plugChanges_.raise();
}

void SimEngine::plugIn() {
    {
        std::lock_guard lock(mutex_);
        powerCycleLocked();
        scanEnabled_ = true;
        pluggedIn_ = true;
        faults_.disconnected = false;
    }
    plugChanges_.raise();
}

bool SimEngine::pluggedIn() {
    std::lock_guard lock(mutex_);
    return pluggedIn_;
}

uint64_t SimEngine::plugCount() {
    std::lock_guard lock(mutex_);
    return plugCount_;
}

bool SimEngine::scanEnabled() {
    std::lock_guard lock(mutex_);
    return scanEnabled_;
}

// --- the engine itself (mutex held) -----------------------------------------------------

void SimEngine::powerCycleLocked() {
    simple_.powerCycle();
    extended_.powerCycle();
    aimOn_ = false;
    pending_.reset();
}

void SimEngine::noteTime(int64_t timeMicros) {
    latestMicros_ = std::max(latestMicros_, timeMicros);
    releaseDueDecode(timeMicros);
}

// A scan's result joins the outgoing bytes only once its time has come, so a STOP_DECODE
// that arrives earlier can still take it back.
void SimEngine::releaseDueDecode(int64_t timeMicros) {
    if (!pending_ || pending_->sendMicros > timeMicros) return;
    PendingDecode done = std::move(*pending_);
    pending_.reset();
    if (done.packet) queueReply(std::move(*done.packet), done.sendMicros);
}

void SimEngine::handlePacket(const std::vector<uint8_t>& packet, int64_t timeMicros) {
    received_.push_back({timeMicros, packet});
    if (!simChecksumMatches(packet)) {
        queueReply(fixedReply(kSimOpCmdNak), timeMicros + replyLatency(kReplyLatencyMicros));
        return;
    }
    const uint8_t opcode = packet[1];
    if (opcode == kSimOpCmdAck || opcode == kSimOpCmdNak) return;
    if (faults_.silentNextCommands > 0) {
        --faults_.silentNextCommands;
        return;
    }
    handleCommand(packet, timeMicros);
}

void SimEngine::handleCommand(const std::vector<uint8_t>& packet, int64_t timeMicros) {
    const uint8_t opcode = packet[1];
    const int64_t replyMicros = timeMicros + replyLatency(kReplyLatencyMicros);
    if (opcode == kSimOpParamRequest) {
        queueReply(paramSendReply(packet), timeMicros + replyLatency(kParamReplyLatencyMicros));
    } else if (opcode == kSimOpRequestRevision) {
        queueReply(
            simFramePacket(kSimOpReplyRevision, {std::begin(kRevision), std::end(kRevision) - 1}),
            replyMicros);
    } else if (!isAcknowledgedCommand(opcode)) {
        queueReply(fixedReply(kSimOpCmdNak), replyMicros);
    } else if (faults_.nakNextCommands > 0) {
        --faults_.nakNextCommands;
        queueReply(fixedReply(kSimOpCmdNak), replyMicros);
    } else {
        queueReply(fixedReply(kSimOpCmdAck), replyMicros);
        execute(packet, timeMicros);
    }
}

void SimEngine::execute(const std::vector<uint8_t>& packet, int64_t timeMicros) {
    switch (packet[1]) {
        case kSimOpAimOn:
            aimOn_ = true;
            break;
        case kSimOpAimOff:
            aimOn_ = false;
            break;
        case kSimOpScanEnable:
            scanEnabled_ = true;
            break;
        case kSimOpScanDisable:
            scanEnabled_ = false;
            pending_.reset();
            break;
        case kSimOpParamDefaults:
            simple_.resetTo(factorySimpleParameters());
            extended_.resetTo(factoryExtendedParameters());
            break;
        case kSimOpParamSend:
            applyParamSend(packet);
            break;
        case kSimOpStartDecode:
            startDecode(timeMicros);
            break;
        case kSimOpStopDecode:
            pending_.reset();
            break;
        default:
            break;
    }
}

void SimEngine::applyParamSend(const std::vector<uint8_t>& packet) {
    const bool permanent = (packet[3] & kSimStatusPermanent) != 0;
    const size_t length = packet[0];
    for (size_t i = 5; i + 1 < length; i += 2) {
        ParameterBank* bank = &simple_;
        if (packet[i] == kSimExtendedPrefix) {
            bank = &extended_;
            if (++i + 1 >= length) break;
        }
        if (permanent) {
            bank->setPermanent(packet[i], packet[i + 1]);
        } else {
            bank->setTemporary(packet[i], packet[i + 1]);
        }
    }
}

void SimEngine::startDecode(int64_t timeMicros) {
    pending_.reset();
    if (!scanEnabled_) return;
    const int64_t aimEnds = timeMicros + simple_.current(kParamAimTime) * kTenthMicros;
    const bool decodes = barcode_ && symbologyEnabled(barcode_->symbology);
    const int64_t scanMicros =
        decodes ? kDecodeMicros : simple_.current(kParamScanTime) * kTenthMicros;
    pending_ = PendingDecode{aimEnds, aimEnds + scanMicros, scanResult()};
}

std::optional<std::vector<uint8_t>> SimEngine::scanResult() {
    const DecodeFormat format{simple_.current(kParamDataFormat), simple_.current(kParamPrefix),
                              simple_.current(kParamSuffix1), simple_.current(kParamSuffix2),
                              simple_.current(kParamCodeId)};
    if (barcode_ && symbologyEnabled(barcode_->symbology)) {
        const SymbologyInfo& info = symbologyInfo(barcode_->symbology);
        const CodeIds ids{info.aimId, info.symbolId};
        return decodePacket(info.typeByte, formatDecodeData(format, ids, barcode_->data));
    }
    if (simple_.current(kParamTransmitNoRead) != 1) return std::nullopt;
    return decodePacket(0, formatDecodeData(format, kNoReadIds, "NR"));
}

std::vector<uint8_t> SimEngine::decodePacket(uint8_t typeByte, const std::string& data) {
    std::vector<uint8_t> payload;
    payload.reserve(1 + data.size());
    payload.push_back(typeByte);
    payload.insert(payload.end(), data.begin(), data.end());
    return simFramePacket(kSimOpDecodeData, payload);
}

bool SimEngine::symbologyEnabled(Symbology symbology) {
    const SymbologyInfo& info = symbologyInfo(symbology);
    const ParameterBank& bank = info.extendedEnable ? extended_ : simple_;
    return bank.current(info.enableParameter) != 0;
}

// Pairs in the order asked for; the simple ones first, then the 0xF0 bank, for as long as
// the packet's Length can count them.
std::vector<uint8_t> SimEngine::paramSendReply(const std::vector<uint8_t>& request) {
    std::vector<uint8_t> simple;
    std::vector<uint8_t> extended;
    const size_t length = request[0];
    for (size_t i = 4; i < length; ++i) {
        if (request[i] == kRequestAll) {
            auto reported = reportedSimpleParameters();
            simple.assign(reported.begin(), reported.end());
            auto reportedExtended = reportedExtendedParameters();
            extended.assign(reportedExtended.begin(), reportedExtended.end());
            break;
        }
        if (request[i] == kSimExtendedPrefix && i + 1 < length) {
            extended.push_back(request[++i]);
        } else {
            simple.push_back(request[i]);
        }
    }
    std::vector<uint8_t> data{kSimNoBeep};
    auto fits = [&](size_t more) { return kSimMinLength + data.size() + more <= kSimMaxLength; };
    for (uint8_t number : simple) {
        if (!fits(2)) break;
        data.insert(data.end(), {number, simple_.current(number)});
    }
    for (uint8_t number : extended) {
        if (!fits(3)) break;
        data.insert(data.end(), {kSimExtendedPrefix, number, extended_.current(number)});
    }
    return simFramePacket(kSimOpParamSend, data);
}

void SimEngine::queueReply(std::vector<uint8_t> packet, int64_t readyMicros) {
    releaseDueDecode(readyMicros);
    applyReplyFaults(packet);
    enqueue(packet, readyMicros);
    if (faults_.doubledNextReplies > 0) {
        --faults_.doubledNextReplies;
        enqueue(packet, readyMicros);
    }
}

int64_t SimEngine::replyLatency(int64_t ownLatencyMicros) const {
    return faults_.replyDelayMicros.value_or(ownLatencyMicros);
}

void SimEngine::applyReplyFaults(std::vector<uint8_t>& packet) {
    if (faults_.wrongOpcodeNextReplies > 0 && packet[1] != kSimOpCmdNak) {
        --faults_.wrongOpcodeNextReplies;
        packet[1] = kWrongOpcode;
        rewriteChecksum(packet);
    }
    if (faults_.wrongChecksumNextReplies > 0) {
        --faults_.wrongChecksumNextReplies;
        packet.back() ^= 0x01;
    }
    if (faults_.garbledNextReplies > 0) {
        --faults_.garbledNextReplies;
        packet[1] ^= 0x01;
    }
    if (faults_.wrongLengthNextReplies > 0) {
        --faults_.wrongLengthNextReplies;
        packet[0] = faults_.wrongLength;
    }
    if (faults_.shortNextReplies > 0) {
        --faults_.shortNextReplies;
        packet.resize(std::min(kShortReplyBytes, packet.size() - 1));
    }
    if (faults_.loneLengthNextReplies > 0) {
        --faults_.loneLengthNextReplies;
        packet.resize(1);
    }
}

// The line carries one byte at a time: a packet starts when it is ready and the line is
// free, and each byte is complete one byte time after the one before it.
void SimEngine::enqueue(const std::vector<uint8_t>& bytes, int64_t readyMicros) {
    int64_t due = std::max(readyMicros, lineFreeMicros_);
    for (uint8_t byte : bytes) {
        due += kByteMicros;
        outgoing_.push_back({due, byte});
    }
    lineFreeMicros_ = due;
}

}  // namespace qm::sim
