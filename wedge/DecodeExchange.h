#pragma once

#include <cstdint>

#include "platform/Feedback.h"

namespace qm {

struct ProcessState;

// What one decode attempt brought back. `outcome` is 0 for a good read, 25 for the
// engine's no-read marker, 14 or 26 for two unusable packets, or the receive status.
struct DecodeResult {
    int32_t outcome = 0;
    uint8_t packet[260] = {};
    uint8_t data[260] = {};
    int dataLength = 0;
};

// Sends START_DECODE and waits the one-button target time (plus `extraWaitMs`).
void startDecoding(ProcessState& state, int64_t extraWaitMs);

// Reads at most two packets within (scan time + 2) x 100 ms each, acknowledging decode data
// and refusing anything else.
DecodeResult receiveDecode(ProcessState& state);

// After a failed read: STOP_DECODE, then whatever the engine still sends is drained.
void stopDecodingAndDrain(ProcessState& state);

// The good-read sound and popup, as far as the settings ask for them.
void giveGoodReadSignals(ProcessState& state);

// The no-read sound, twice with a pause, when the settings ask for it.
void playNoReadBeeps(ProcessState& state);

// Shows a popup for 1.5 s when the settings ask for it.
void showPopupBriefly(ProcessState& state, bool wanted, Popup popup);

}  // namespace qm
