#include "SettingsFixture.h"
#include "session/LoadSettings.h"
#include "settings/FormatConfigText.h"
#include "settings/ParameterCatalogue.h"
#include "settings/SettingsFields.h"
#include "settings/TimeTable.h"
#include "settings/Vocabularies.h"

namespace qm::test {
namespace {

class FactoryDefaultsTest : public SettingsFixture {
protected:
    FactoryDefaultsTest() {
        writeProfile("defaults.cfg", shippedResource("defaults.cfg"));
        loaded = loadSettings(*state, "defaults.cfg");
    }
    int loaded = 0;
};

TEST_F(FactoryDefaultsTest, LoadsAndIsWrittenBackByteForByte) {
    ASSERT_EQ(loaded, 1);
    EXPECT_EQ(formatConfigText(state->scanSettings, state->commandArray),
              shippedResource("defaults.cfg"));
    EXPECT_EQ(shippedResource("LastUser.cfg"), shippedResource("defaults.cfg"));
}

TEST_F(FactoryDefaultsTest, EveryEntryHoldsWhatItsControlWouldSend) {
    ASSERT_EQ(loaded, 1);
    for (const CatalogueEntry& entry : ParameterCatalogue) {
        // Entries 82..84 are shared with the RSS options; they hold the ordinary parameter,
        // which is checked by its own row.
        if (entry.extended) continue;
        const auto value = catalogueValue(entry, state->scanSettings);
        ASSERT_TRUE(value.has_value()) << entry.field;
        EXPECT_EQ(state->commandArray[entry.parameter], *value) << entry.field;
    }
}

TEST_F(FactoryDefaultsTest, ForcedParametersHoldTheirForcedValues) {
    ASSERT_EQ(loaded, 1);
    const std::pair<int, int> forced[] = {{159, 1}, {238, 1}, {128, 1}, {138, 8}, {137, 10},
                                          {94, 1},  {236, 1}, {156, 6}, {158, 4}, {157, 1}};
    for (const auto& [parameter, value] : forced)
        EXPECT_EQ(state->commandArray[parameter], value) << parameter;
}

TEST_F(FactoryDefaultsTest, TextsAreChoicesTheListsOffer) {
    ASSERT_EQ(loaded, 1);
    const ScanSettings& s = state->scanSettings;
    const auto offers = [](auto list, const std::string& text) {
        return std::find(list.begin(), list.end(), text) != list.end();
    };
    EXPECT_TRUE(offers(KeyNames, s.scanKeyName));
    EXPECT_TRUE(offers(KeyNames, s.targetKeyName));
    EXPECT_NE(s.scanKeyName, s.targetKeyName);
    EXPECT_TRUE(offers(ScanAngleTexts, s.scanAngleText));
    EXPECT_TRUE(offers(DataFormatTexts, s.dataFormatText));
    EXPECT_TRUE(offers(CodeIdTexts, s.codeIdText));
    for (const std::string* affix : {&s.prefixText, &s.suffix1Text, &s.suffix2Text})
        EXPECT_TRUE(offers(PrefixSuffixTexts, *affix));
    for (const std::string* preamble :
         {&s.upcAPreambleText, &s.upcEPreambleText, &s.upcE1PreambleText})
        EXPECT_TRUE(offers(PreambleTexts, *preamble));
    EXPECT_TRUE(offers(SecurityLevelTexts, s.securityLevelText));
    EXPECT_TRUE(offers(SupplementTexts, s.supplementsText));
    EXPECT_TRUE(offers(SupplementRedundancyTexts, s.supplementRedundancyText));
    EXPECT_TRUE(offers(MsiCheckDigitTexts, s.msiCheckDigitsText));
    EXPECT_TRUE(offers(MsiAlgorithmTexts, s.msiAlgorithmText));
    EXPECT_TRUE(offers(I2of5VerifyTexts, s.i2of5VerifyText));
    EXPECT_EQ(timeIndexOf(s.scanTimeText), s.scanTimeIndex.load());
    EXPECT_EQ(timeIndexOf(s.targetTimeText), s.targetTimeIndex.load());
    EXPECT_FALSE(s.enableCode39 && s.enableTriopticCode39);
}

}  // namespace
}  // namespace qm::test
