#include "SettingsFixture.h"

#include <fstream>
#include <sstream>

#include "settings/SettingsFields.h"
#include "settings/TimeTable.h"

namespace qm::test {

namespace {

std::string readWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

}  // namespace

void SettingsFixture::writeProfile(std::string_view name, std::string_view text) {
    std::ofstream(profileFolder() / name, std::ios::binary) << text;
}

std::string SettingsFixture::readProfile(std::string_view name) const {
    return readWhole(profileFolder() / name);
}

std::string shippedResource(std::string_view name) {
    return readWhole(std::filesystem::path(QM_SOURCE_DIR) / "resources" / name);
}

namespace {

// Check boxes alternate; lengths and list positions follow the field number; the one
// unrestricted integer goes negative.
int32_t distinctValue(const SettingsField& field) {
    const IntRange range = field.range;
    if (range.lowest == kAnyInt.lowest) return field.index * 1000 - 40000;
    const int64_t span = int64_t{range.highest} - range.lowest + 1;
    return static_cast<int32_t>(range.lowest + field.index % span);
}

}  // namespace

void fillDistinctRecord(ScanSettings& settings, CommandArray& commands) {
    for (const SettingsField& field : SettingsFields) {
        if (field.kind() == FieldKind::Int)
            field.intIn(settings) = distinctValue(field);
        else
            field.textIn(settings) = "text" + std::to_string(field.index);
    }
    settings.supplementRedundancyText = "10";
    settings.scanTimeText = "4.2";
    settings.scanTimeIndex = 42;
    settings.targetTimeText = "9.9";
    settings.targetTimeIndex = 99;
    for (size_t i = 0; i < CommandArray::kSavedEntries; ++i)
        commands[i] = static_cast<uint8_t>(255 - i);
}

void fillExampleRecord(ScanSettings& s, CommandArray& commands) {
    s.twoButtonControl = 1;
    s.scanKeyName = "F3";
    s.targetKeyName = "F4";
    s.beepOnGoodRead = 1;
    s.beepOnNoRead = 1;
    s.scanAngleText = "Narrow";
    s.dataFormatText = "<Prefix><Data><Suffix1>";
    s.codeIdText = "AIM";
    s.prefixText = "Tab";
    s.suffix1Text = "<LF>";
    s.suffix2Text = "None";
    s.bidirectionalRead = 1;
    s.consecutiveReadIndex = 1;
    s.scanTimeText = "3.0";
    s.scanTimeIndex = 30;
    s.targetTimeText = "1.5";
    s.targetTimeIndex = 15;
    for (auto* on :
         {&s.enableCode39, &s.enableCode93, &s.enableCodabar, &s.enableDiscrete2of5, &s.enableUpcA,
          &s.enableUpcE, &s.enableEan8, &s.enableEan13, &s.enableUss128, &s.enableUccEan128})
        *on = 1;
    s.securityLevelText = "0";
    s.upcACheckDigit = 1;
    s.upcAPreambleText = "None";
    s.upcECheckDigit = 1;
    s.upcEPreambleText = "None";
    s.upcE1CheckDigit = 1;
    s.upcE1PreambleText = "None";
    s.supplementsText = "Autodiscriminate_UPC/EAN";
    s.supplementRedundancyText = "10";
    s.code39Length1 = 2;
    s.code39Length2 = 55;
    s.msiLength1 = 4;
    s.msiLength2 = 55;
    s.msiCheckDigitsText = "2";
    s.msiAlgorithmText = "MOD10_MOD11";
    s.i2of5Length1 = 14;
    s.i2of5Length2 = 14;
    s.i2of5VerifyText = "Disable";
    s.code93Length1 = 4;
    s.code93Length2 = 55;
    s.d2of5Length1 = 4;
    s.d2of5Length2 = 55;
    s.codabarLength1 = 5;
    s.codabarLength2 = 55;
    s.reserved7 = -7;
    const uint8_t first[] = {1, 1, 1, 1, 1, 1, 0,    1, 1,    1,   0,   0, 0,
                             0, 1, 0, 2, 0, 2, 0x37, 4, 0x37, 0xE, 0xE, 5};
    for (size_t i = 0; i < std::size(first); ++i) commands[i] = first[i];
    commands[136] = 0x1E;
    commands[191] = 0xB5;
    commands[237] = 0xF;
    commands[239] = 0xFF;
    commands[240] = 0x77;  // never saved
}

}  // namespace qm::test
