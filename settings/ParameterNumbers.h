#pragma once

#include <cstdint>

namespace qm {

// Engine parameter numbers that code names, beyond the catalogue's table of them.
inline constexpr uint8_t kCode39Parameter = 0;
inline constexpr uint8_t kTriopticCode39Parameter = 13;
inline constexpr uint8_t kCodeIdParameter = 45;
inline constexpr uint8_t kBidirectionalReadParameter = 67;
inline constexpr uint8_t kConsecutiveReadParameter = 78;
inline constexpr uint8_t kScanTimeParameter = 136;
inline constexpr uint8_t kScanAngleParameter = 191;
inline constexpr uint8_t kDataFormatParameter = 235;
inline constexpr uint8_t kAimDurationParameter = 237;
// The second byte of the extended (0xF0) "RSS" option.
inline constexpr uint8_t kRssParameter = 0x52;

}  // namespace qm
