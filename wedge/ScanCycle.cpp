#include "wedge/ScanCycle.h"

#include <algorithm>

#include "engine/Packets.h"
#include "platform/Keyboard.h"
#include "state/ProcessState.h"
#include "wedge/DecodeExchange.h"
#include "wedge/KeystrokeSynthesis.h"
#include "wedge/WedgeSleep.h"

namespace qm {

namespace {

constexpr int64_t kPauseAfterFailureMs = 100;
constexpr size_t kFirstDataOffset = 5;
constexpr uint32_t kFormatsWithPrefix = 4;

// Where the marker sits: after the prefix character and the code identifier (one
// character for Symbol, three for AIM).
size_t noReadPosition(const ScanEngineLink& link) {
    static constexpr size_t kCodeIdLength[] = {0, 1, 3};
    const uint32_t mode = link.codeIdMode;
    const size_t codeId = mode < 3 ? kCodeIdLength[mode] : 0;
    const size_t prefix = link.dataFormat >= kFormatsWithPrefix ? 1 : 0;
    return kFirstDataOffset + prefix + codeId;
}

void typeIntoFocusedApplication(ProcessState& state, const uint8_t* data, int length) {
    if (Keyboard* keyboard = state.platform.keyboard) typeDecodedData(*keyboard, data, length);
}

void giveNoReadFeedback(ProcessState& state) {
    stopDecodingAndDrain(state);
    playNoReadBeeps(state);
    showPopupBriefly(state, state.scanSettings.visualOnNoRead != 0, Popup::NoRead);
    wedgeSleep(state, kPauseAfterFailureMs);
}

}  // namespace

int32_t isNoRead(ScanEngineLink& link, const uint8_t* packet, uint32_t byteCount) {
    const size_t i = noReadPosition(link);
    // Only the data counts: the checksum after it could spell anything.
    const size_t dataEnd = std::min<size_t>(byteCount, packet[0]);
    const bool marker = i + 1 < dataEnd && packet[i] == 'N' && packet[i + 1] == 'R';
    const int32_t result = marker ? kScanNoRead : kLinkOk;
    link.LinkStatus = result;
    return result;
}

int32_t runScanCycle(ProcessState& state) {
    const auto type = [&state](const uint8_t* data, int length) {
        typeIntoFocusedApplication(state, data, length);
    };
    return runScanCycleWith(state, type).aimOffStatus;
}

ScanCycleResult runScanCycleWith(ProcessState& state, const DecodeSink& deliver) {
    ScanEngineLink& link = state.link;
    const auto hold = link.holdLink();
    startDecoding(state, 0);
    const DecodeResult read = receiveDecode(state);
    if (read.outcome == kLinkOk) {
        deliver(read.data, read.dataLength);
        giveGoodReadSignals(state);
    } else {
        giveNoReadFeedback(state);
    }
    ScanCycleResult result{read.outcome, link.aimOff()};
    state.AimingActive = 0;
    return result;
}

}  // namespace qm
