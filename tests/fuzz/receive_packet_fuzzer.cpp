// Feeds arbitrary bytes to receivePacket as what arrives on the line. The first byte picks
// the time-out and whether the line fails once the bytes are used up. The packet reader
// must hand back exactly the bytes that came, say truthfully how many, and wait no longer
// than its time-outs allow.
#include <cstring>

#include "FuzzLine.h"

using qm::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const bool failWhenDrained = (data[0] & 0x80) != 0;
    const uint32_t timeoutMs = (data[0] & 0x7F) * 10u;
    const uint8_t* stream = data + 1;
    const size_t streamSize = size - 1;
    qm::fuzz::FuzzLink line(stream, streamSize, false, failWhenDrained);

    uint8_t buffer[260];
    std::memset(buffer, 0xAA, sizeof buffer);
    uint32_t count = 0xFFFF;
    const int64_t start = line.clock.nowMicros();
    const int32_t result = line.link->receivePacket(buffer, count, timeoutMs);
    require(line.link->LinkStatus == result);
    require(line.clock.nowMicros() - start <=
            (2 * (2 + timeoutMs) + 1 + 2 * 255 + (2 * 256 + timeoutMs)) * int64_t{1000});

    if (streamSize == 0) {
        require(result == (failWhenDrained ? qm::kLinkLengthReadError : qm::kLinkNoLengthByte));
        require(count == 0xFFFF);
        return 0;
    }
    const size_t wanted = size_t{stream[0]} + 2;
    const size_t came = std::min(wanted, streamSize);
    if (came == wanted) {
        require(result == qm::kLinkOk);
    } else {
        require(result == (failWhenDrained ? qm::kLinkBodyReadError : qm::kLinkShortPacket));
        if (failWhenDrained) return 0;
    }
    require(count == came);
    require(std::memcmp(buffer, stream, came) == 0);
    require(buffer[came] == 0xAA);
    return 0;
}
