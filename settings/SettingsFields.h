#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

#include "settings/ScanSettings.h"

namespace qm {

enum class FieldKind { Int, Text };

// One field of ScanSettings as the profile file and the catalogue see it.
struct SettingsField {
    using IntMember = SettingInt ScanSettings::*;
    using TextMember = std::string ScanSettings::*;

    int index;
    std::string_view name;
    std::variant<IntMember, TextMember> member;

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
