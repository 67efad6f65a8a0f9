#pragma once

#include <array>
#include <string_view>

namespace qm {

// The choices each text field's drop-down list offers, in the order the list shows them.
// Every one is a single token: the profile file separates values by white space.

inline constexpr std::array<std::string_view, 9> KeyNames{"Enter", "F1",  "F2",  "F3",  "F4",
                                                          "F5",    "Tab", "Alt", "Ctrl"};

inline constexpr std::array<std::string_view, 8> DataFormatTexts{
    "<Data>",
    "<Data><Suffix1>",
    "<Data><Suffix2>",
    "<Data><Suffix1><Suffix2>",
    "<Prefix><Data>",
    "<Prefix><Data><Suffix1>",
    "<Prefix><Data><Suffix2>",
    "<Prefix><Data><Suffix1><Suffix2>",
};

inline constexpr std::array<std::string_view, 3> CodeIdTexts{"None", "AIM", "Symbol"};
inline constexpr std::array<std::string_view, 5> PrefixSuffixTexts{"None", "<LF>", "<LF><CR>", "#",
                                                                   "Tab"};
inline constexpr std::array<std::string_view, 2> ScanAngleTexts{"Narrow", "Wide"};
inline constexpr std::array<std::string_view, 3> PreambleTexts{"None", "System", "Country/System"};
inline constexpr std::array<std::string_view, 5> SupplementTexts{
    "Ignore_UPC/EAN_with_Supplements", "Autodiscriminate_UPC/EAN", "Enable_378/379", "Enable_978",
    "Enable_Smart"};
inline constexpr std::array<std::string_view, 19> SupplementRedundancyTexts{
    "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "10", "11",
    "12", "13", "14", "15", "16", "17", "18", "19", "20"};
inline constexpr std::array<std::string_view, 4> SecurityLevelTexts{"0", "1", "2", "3"};
inline constexpr std::array<std::string_view, 2> MsiCheckDigitTexts{"1", "2"};
inline constexpr std::array<std::string_view, 2> MsiAlgorithmTexts{"MOD10_MOD11", "MOD10_MOD10"};
inline constexpr std::array<std::string_view, 3> I2of5VerifyTexts{"Disable", "USS", "OPCC"};

}  // namespace qm
