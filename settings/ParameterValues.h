#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace qm {

struct TextValue {
    std::string_view text;
    uint8_t value;
};

// How a list control's text becomes the value its engine parameter is sent.
struct ValueTable {
    std::span<const TextValue> rows;
    // The value for a text the rows do not hold; nullopt: such a text sends nothing.
    std::optional<uint8_t> otherText;

    std::optional<uint8_t> valueOf(std::string_view text) const;
};

namespace detail {
inline constexpr std::array<TextValue, 8> kFormatRows{{{"<Data>", 0},
                                                       {"<Data><Suffix1>", 1},
                                                       {"<Data><Suffix2>", 2},
                                                       {"<Data><Suffix1><Suffix2>", 3},
                                                       {"<Prefix><Data>", 4},
                                                       {"<Prefix><Data><Suffix1>", 5},
                                                       {"<Prefix><Data><Suffix2>", 6},
                                                       {"<Prefix><Data><Suffix1><Suffix2>", 7}}};
inline constexpr std::array<TextValue, 3> kCodeIdRows{{{"None", 0}, {"AIM", 1}, {"Symbol", 2}}};
// The link numbers the identifiers the other way round from the engine.
inline constexpr std::array<TextValue, 2> kCodeIdModeRows{{{"Symbol", 1}, {"AIM", 2}}};
inline constexpr std::array<TextValue, 5> kAffixRows{
    {{"None", 0}, {"<LF>", 10}, {"<LF><CR>", 13}, {"#", 35}, {"Tab", 9}}};
inline constexpr std::array<TextValue, 4> kSecurityLevelRows{
    {{"0", 0}, {"1", 1}, {"2", 2}, {"3", 3}}};
inline constexpr std::array<TextValue, 3> kPreambleRows{
    {{"None", 0}, {"System", 1}, {"Country/System", 2}}};
inline constexpr std::array<TextValue, 5> kSupplementRows{{{"Ignore_UPC/EAN_with_Supplements", 0},
                                                           {"Autodiscriminate_UPC/EAN", 2},
                                                           {"Enable_Smart", 3},
                                                           {"Enable_378/379", 4},
                                                           {"Enable_978", 5}}};
inline constexpr std::array<TextValue, 19> kRedundancyRows{{{"2", 2},
                                                            {"3", 3},
                                                            {"4", 4},
                                                            {"5", 5},
                                                            {"6", 6},
                                                            {"7", 7},
                                                            {"8", 8},
                                                            {"9", 9},
                                                            {"10", 10},
                                                            {"11", 11},
                                                            {"12", 12},
                                                            {"13", 13},
                                                            {"14", 14},
                                                            {"15", 15},
                                                            {"16", 16},
                                                            {"17", 17},
                                                            {"18", 18},
                                                            {"19", 19},
                                                            {"20", 20}}};
inline constexpr std::array<TextValue, 1> kMsiCheckDigitRows{{{"1", 0}}};
inline constexpr std::array<TextValue, 2> kMsiAlgorithmRows{
    {{"MOD10_MOD11", 0}, {"MOD10_MOD10", 0x11}}};
inline constexpr std::array<TextValue, 1> kI2of5VerifyRows{{{"Disable", 0}}};
inline constexpr std::array<TextValue, 1> kScanAngleRows{{{"Narrow", 0xB5}}};
}  // namespace detail

inline constexpr ValueTable FormatCodes{detail::kFormatRows, std::nullopt};
inline constexpr ValueTable CodeIdValues{detail::kCodeIdRows, 0};
inline constexpr ValueTable CodeIdModes{detail::kCodeIdModeRows, 0};
inline constexpr ValueTable PrefixValues{detail::kAffixRows, 0};  // also both suffixes
inline constexpr ValueTable SecurityLevelValues{detail::kSecurityLevelRows, 0};
inline constexpr ValueTable PreambleValues{detail::kPreambleRows, std::nullopt};
inline constexpr ValueTable SupplementsValues{detail::kSupplementRows, std::nullopt};
inline constexpr ValueTable SupplementRedundancyValues{detail::kRedundancyRows, std::nullopt};
inline constexpr ValueTable MsiCheckDigitsValues{detail::kMsiCheckDigitRows, 1};
inline constexpr ValueTable MsiAlgorithmValues{detail::kMsiAlgorithmRows, std::nullopt};
inline constexpr ValueTable I2of5VerifyValues{detail::kI2of5VerifyRows, 1};  // USS and OPCC alike
inline constexpr ValueTable ScanAngleValues{detail::kScanAngleRows, 0xB6};

// The data format code 0..7 of a format text; nullopt for any other text, because callers
// differ: the link keeps its code, the Format list uses 0.
inline std::optional<uint8_t> formatCode(std::string_view text) {
    return FormatCodes.valueOf(text);
}
inline uint8_t codeIdValue(std::string_view text) { return *CodeIdValues.valueOf(text); }
inline uint32_t codeIdMode(std::string_view text) { return *CodeIdModes.valueOf(text); }
// The link's mode for the engine's code identifier setting (parameter 45), by its text.
inline uint32_t codeIdModeOfEngineValue(uint8_t value) {
    for (const TextValue& row : detail::kCodeIdRows)
        if (row.value == value) return codeIdMode(row.text);
    return 0;
}
inline uint8_t prefixValue(std::string_view text) { return *PrefixValues.valueOf(text); }
inline uint8_t securityLevelValue(std::string_view text) {
    return *SecurityLevelValues.valueOf(text);
}
inline std::optional<uint8_t> preambleValue(std::string_view text) {
    return PreambleValues.valueOf(text);
}
inline std::optional<uint8_t> supplementsValue(std::string_view text) {
    return SupplementsValues.valueOf(text);
}
inline std::optional<uint8_t> supplementRedundancyValue(std::string_view text) {
    return SupplementRedundancyValues.valueOf(text);
}
inline uint8_t msiCheckDigitsValue(std::string_view text) {
    return *MsiCheckDigitsValues.valueOf(text);
}
inline std::optional<uint8_t> msiAlgorithmValue(std::string_view text) {
    return MsiAlgorithmValues.valueOf(text);
}
inline uint8_t i2of5VerifyValue(std::string_view text) { return *I2of5VerifyValues.valueOf(text); }
inline uint8_t scanAngleValue(std::string_view text) { return *ScanAngleValues.valueOf(text); }

}  // namespace qm
