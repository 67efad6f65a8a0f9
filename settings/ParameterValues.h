#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "settings/Vocabularies.h"

namespace qm {

// How a list control's text becomes the value its engine parameter is sent: each text the
// list offers (settings/Vocabularies.h) beside its value.
class ValueTable {
public:
    template <size_t N>
    constexpr ValueTable(const std::array<std::string_view, N>& texts,
                         const std::array<uint8_t, N>& values, std::optional<uint8_t> otherText)
        : texts_(texts), values_(values), otherText_(otherText) {}

    // nullopt for a text the list does not offer and the table gives nothing for.
    constexpr std::optional<uint8_t> valueOf(std::string_view text) const {
        for (size_t i = 0; i < texts_.size(); ++i)
            if (texts_[i] == text) return values_[i];
        return otherText_;
    }
    // The texts the list offers, in its order.
    constexpr std::span<const std::string_view> texts() const { return texts_; }
    constexpr bool offers(std::string_view text) const {
        for (std::string_view offered : texts_)
            if (offered == text) return true;
        return false;
    }

private:
    std::span<const std::string_view> texts_;
    std::span<const uint8_t> values_;
    std::optional<uint8_t> otherText_;  // the value of a text the list does not offer
};

namespace detail {
template <size_t N>
constexpr std::array<uint8_t, N> numbersFrom(uint8_t first) {
    std::array<uint8_t, N> numbers{};
    for (size_t i = 0; i < N; ++i) numbers[i] = static_cast<uint8_t>(first + i);
    return numbers;
}
inline constexpr auto kFormatCodes = numbersFrom<DataFormatTexts.size()>(0);
inline constexpr std::array<uint8_t, 3> kCodeIdValues{0, 1, 2};
// The link numbers the identifiers the other way round from the engine.
inline constexpr std::array<uint8_t, 3> kCodeIdModes{0, 2, 1};
inline constexpr std::array<uint8_t, 5> kAffixValues{0, 10, 13, 35, 9};
inline constexpr auto kSecurityLevels = numbersFrom<SecurityLevelTexts.size()>(0);
inline constexpr std::array<uint8_t, 3> kPreambleValues{0, 1, 2};
inline constexpr std::array<uint8_t, 5> kSupplementValues{0, 2, 4, 5, 3};
inline constexpr auto kRedundancies = numbersFrom<SupplementRedundancyTexts.size()>(2);
inline constexpr std::array<uint8_t, 2> kMsiCheckDigitValues{0, 1};
inline constexpr std::array<uint8_t, 2> kMsiAlgorithmValues{0, 0x11};
inline constexpr std::array<uint8_t, 3> kI2of5VerifyValues{0, 1, 1};  // USS and OPCC alike
inline constexpr std::array<uint8_t, 2> kScanAngleValues{0xB5, 0xB6};
}  // namespace detail

inline constexpr ValueTable FormatCodes{DataFormatTexts, detail::kFormatCodes, std::nullopt};
inline constexpr ValueTable CodeIdValues{CodeIdTexts, detail::kCodeIdValues, 0};
inline constexpr ValueTable CodeIdModes{CodeIdTexts, detail::kCodeIdModes, 0};
// Also both suffixes.
inline constexpr ValueTable PrefixValues{PrefixSuffixTexts, detail::kAffixValues, 0};
inline constexpr ValueTable SecurityLevelValues{SecurityLevelTexts, detail::kSecurityLevels, 0};
inline constexpr ValueTable PreambleValues{PreambleTexts, detail::kPreambleValues, std::nullopt};
inline constexpr ValueTable SupplementsValues{SupplementTexts, detail::kSupplementValues,
                                              std::nullopt};
inline constexpr ValueTable SupplementRedundancyValues{SupplementRedundancyTexts,
                                                       detail::kRedundancies, std::nullopt};
inline constexpr ValueTable MsiCheckDigitsValues{MsiCheckDigitTexts, detail::kMsiCheckDigitValues,
                                                 1};
inline constexpr ValueTable MsiAlgorithmValues{MsiAlgorithmTexts, detail::kMsiAlgorithmValues,
                                               std::nullopt};
inline constexpr ValueTable I2of5VerifyValues{I2of5VerifyTexts, detail::kI2of5VerifyValues, 1};
inline constexpr ValueTable ScanAngleValues{ScanAngleTexts, detail::kScanAngleValues, 0xB6};

// A data format code's bits name the parts around the data.
inline constexpr uint8_t kFormatSuffix1Bit = 1;
inline constexpr uint8_t kFormatSuffix2Bit = 2;
inline constexpr uint8_t kFormatPrefixBit = 4;
inline constexpr uint8_t kFormatCodeBits = kFormatPrefixBit | kFormatSuffix1Bit | kFormatSuffix2Bit;

// The data format code 0..7 of a format text; nullopt for any other text, because callers
// differ: the link keeps its code, the Format list uses 0.
inline std::optional<uint8_t> formatCode(std::string_view text) {
    return FormatCodes.valueOf(text);
}
inline uint8_t codeIdValue(std::string_view text) { return *CodeIdValues.valueOf(text); }
inline uint32_t codeIdMode(std::string_view text) { return *CodeIdModes.valueOf(text); }
// The link's mode for the engine's code identifier setting (parameter 45), by its text.
inline uint32_t codeIdModeOfEngineValue(uint8_t value) {
    for (std::string_view text : CodeIdTexts)
        if (CodeIdValues.valueOf(text) == value) return codeIdMode(text);
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
