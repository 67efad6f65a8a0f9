#include "wedge/DecodeExchange.h"

#include <cstring>

#include "engine/Packets.h"
#include "state/ProcessState.h"
#include "wedge/ScanCycle.h"
#include "wedge/WedgeSleep.h"

namespace qm {

namespace {

constexpr int kDataOffset = 5;
constexpr int kMostPacketsRead = 2;
constexpr uint32_t kDrainTimeoutMs = 10;
constexpr int64_t kBeepPauseMs = 250;
constexpr int64_t kPopupMs = 1500;

void sendWithoutReply(ScanEngineLink& link, const FixedPacket& packet) {
    link.sendCommand(packet.data(), packet.size(), 0);
}

// A Length below the header's own size cannot carry an opcode worth believing.
bool isSoundPacket(const uint8_t* packet) {
    return packet[0] >= kHeaderLength && packetChecksumHolds(packet);
}

void copyData(DecodeResult& result) {
    const int length = result.packet[0] - kDataOffset;
    result.dataLength = length > 0 ? length : 0;
    std::memcpy(result.data, result.packet + kDataOffset, static_cast<size_t>(result.dataLength));
}

}  // namespace

void startDecoding(ProcessState& state, int64_t extraWaitMs) {
    ScanEngineLink& link = state.link;
    link.sendTriggerCommand(START_DECODE.data(), START_DECODE.size());
    // In one-button control the engine aims for the target time before it decodes.
    if (link.twoButtonMode == 0) wedgeSleep(state, int64_t{link.targetTime} * 100);
    if (extraWaitMs > 0) wedgeSleep(state, extraWaitMs);
}

DecodeResult receiveDecode(ProcessState& state) {
    ScanEngineLink& link = state.link;
    const auto timeoutMs = static_cast<uint32_t>((link.scanTime + 2) * 100);
    DecodeResult result;
    for (int attempts = 0; attempts < kMostPacketsRead;) {
        uint32_t count = 0;
        result.outcome = link.receivePacket(result.packet, count, timeoutMs);
        if (result.outcome != kLinkOk) return result;
        if (!isSoundPacket(result.packet)) {
            sendWithoutReply(link, CMD_NAK);
            result.outcome = kScanBadChecksum;
            ++attempts;
            continue;
        }
        copyData(result);
        if (result.packet[1] == kOpDecodeData) {
            sendWithoutReply(link, CMD_ACK);
            result.outcome = isNoRead(link, result.packet, count);
            return result;
        }
        sendWithoutReply(link, CMD_NAK);
        result.outcome = kScanNoDecodePacket;
        ++attempts;
    }
    return result;
}

void stopDecodingAndDrain(ProcessState& state) {
    ScanEngineLink& link = state.link;
    link.sendCommand(STOP_DECODE.data(), STOP_DECODE.size(), 1);
    uint8_t scratch[260];
    uint32_t count = 0;
    link.receivePacket(scratch, count, kDrainTimeoutMs);
}

void giveGoodReadSignals(ProcessState& state) {
    if (state.scanSettings.beepOnGoodRead && state.platform.feedback) {
        state.platform.feedback->playSystemSound(kSoundAsterisk);
    }
    showPopupBriefly(state, state.scanSettings.visualOnGoodRead != 0, Popup::GoodRead);
}

void playNoReadBeeps(ProcessState& state) {
    Feedback* feedback = state.platform.feedback;
    if (!state.scanSettings.beepOnNoRead || !feedback) return;
    feedback->playSystemSound(kSoundExclamation);
    wedgeSleep(state, kBeepPauseMs);
    feedback->playSystemSound(kSoundExclamation);
}

void showPopupBriefly(ProcessState& state, bool wanted, Popup popup) {
    Feedback* feedback = state.platform.feedback;
    if (!wanted || !feedback) return;
    feedback->showPopup(popup);
    wedgeSleep(state, kPopupMs);
    feedback->destroyPopup(popup);
}

}  // namespace qm
