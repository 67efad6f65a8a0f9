#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qm::sim {

inline constexpr uint8_t kParamSuffix1 = 104;
inline constexpr uint8_t kParamPrefix = 105;
inline constexpr uint8_t kParamSuffix2 = 106;
inline constexpr uint8_t kParamCodeId = 45;
inline constexpr uint8_t kParamDataFormat = 235;

inline constexpr uint8_t kCodeIdNone = 0;
inline constexpr uint8_t kCodeIdAim = 1;
inline constexpr uint8_t kCodeIdSymbol = 2;

// A decode packet carries at most this many data bytes.
inline constexpr size_t kMaxDecodeDataBytes = 250;

// The engine's data format parameters. Characters are codes; 0 means none.
struct DecodeFormat {
    uint8_t format = 0;  // 0..7: bit 0 suffix 1, bit 1 suffix 2, bit 2 prefix
    uint8_t prefix = 0;
    uint8_t suffix1 = 0;
    uint8_t suffix2 = 0;
    uint8_t codeId = kCodeIdNone;
};

struct CodeIds {
    std::string_view aim;
    char symbol = 0;
};

// [prefix][code id][data][suffix 1][suffix 2], cut to what one packet can carry.
std::string formatDecodeData(const DecodeFormat& format, const CodeIds& ids, std::string_view data);

}  // namespace qm::sim
