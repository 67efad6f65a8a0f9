#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "settings/ScanSettings.h"

namespace qm {

enum class FieldKind { Int, Text };

// The values an integer field can hold; a profile holding another is refused.
struct IntRange {
    int32_t lowest;
    int32_t highest;

    bool holds(int32_t value) const { return lowest <= value && value <= highest; }
};

inline constexpr IntRange kAnyInt{INT32_MIN, INT32_MAX};
inline constexpr IntRange kCheckBox{0, 1};
// The spin keeps a length within 0..99, but a profile may hold more: such a length loads, is
// shown as stored and comes back to 99 on the spin's first step.
inline constexpr IntRange kLength{0, INT32_MAX};
inline constexpr IntRange kTimeIndex{0, 99};            // a position in TimeTable
inline constexpr IntRange kConsecutiveReadLevel{0, 3};  // a position in its list

// One field of ScanSettings as the profile file and the catalogue see it.
struct SettingsField {
    using IntMember = SettingInt ScanSettings::*;
    using TextMember = std::string ScanSettings::*;

    int index;
    std::string_view name;
    std::variant<IntMember, TextMember> member;
    IntRange range;  // integer fields only

    FieldKind kind() const {
        return std::holds_alternative<IntMember>(member) ? FieldKind::Int : FieldKind::Text;
    }
    SettingInt& intIn(ScanSettings& settings) const {
        return settings.*std::get<IntMember>(member);
    }
    const SettingInt& intIn(const ScanSettings& settings) const {
        return settings.*std::get<IntMember>(member);
    }
    std::string& textIn(ScanSettings& settings) const {
        return settings.*std::get<TextMember>(member);
    }
    const std::string& textIn(const ScanSettings& settings) const {
        return settings.*std::get<TextMember>(member);
    }
};

inline constexpr size_t kSettingsFieldCount = 78;

// Every field in file order; load and save walk this.
extern const std::array<SettingsField, kSettingsFieldCount> SettingsFields;

// The field of that name, or null.
const SettingsField* findSettingsField(std::string_view name);

}  // namespace qm
