#pragma once

#include <cstdint>

namespace qm {

class ScanEngineLink;
class LinkSettings;

// The engine's side of one scan, in the order a cycle runs it: start decoding, read the
// decode, and after a failure stop decoding and drain. The caller holds the link across them.

// What one decode attempt brought back. `outcome` is 0 for a good read, 25 for the
// engine's no-read marker, 14 or 26 for two unusable packets, or the receive status.
struct DecodeResult {
    int32_t outcome = 0;
    uint8_t packet[260] = {};
    uint8_t data[260] = {};
    int dataLength = 0;
};

// START_DECODE. A failure does not end the cycle: the read then simply finds nothing.
void startDecoding(ScanEngineLink& link);

// Reads at most two packets within (scan time + 2) x 100 ms each, acknowledging decode data
// and refusing anything else. A wait for a packet ends early, as if none came, once another
// thread wants the link.
DecodeResult receiveDecode(ScanEngineLink& link, const LinkSettings& settings);

// 25 when the packet's data is the engine's "NR" no-read marker (after the prefix and code
// identifier the engine puts in front of it), else 0; also left in LinkStatus.
int32_t isNoRead(ScanEngineLink& link, const LinkSettings& settings, const uint8_t* packet,
                 uint32_t byteCount);

// After a failed read: STOP_DECODE, then whatever the engine still sends is drained.
void stopDecodingAndDrain(ScanEngineLink& link);

}  // namespace qm
