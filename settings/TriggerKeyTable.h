#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace qm {

struct TriggerKey {
    std::string_view name;
    uint8_t virtualKey;
};

// F1..F5 are the codes the device keyboard reports in custom input mode, not the standard
// function-key codes. Looked up exactly, case-sensitively, first match wins.
inline constexpr std::array<TriggerKey, 9> TriggerKeyTable{{
    {"F1", 0xE9},
    {"F2", 0xEA},
    {"F3", 0xEB},
    {"F4", 0xEC},
    {"F5", 0xED},
    {"Enter", 0x0D},
    {"Tab", 0x09},
    {"Alt", 0x12},
    {"Ctrl", 0x11},
}};

inline constexpr uint8_t kDefaultScanKey = 0x72;
inline constexpr uint8_t kDefaultTargetKey = 0x73;

std::optional<uint8_t> triggerKeyCode(std::string_view name);
// The scan key for a name; names outside the table fall back to kDefaultScanKey.
uint8_t scanKeyCode(std::string_view name);
// The target key: none (0) without two-button control, else the named key or kDefaultTargetKey.
uint8_t targetKeyCode(int32_t twoButtonControl, std::string_view name);

}  // namespace qm
