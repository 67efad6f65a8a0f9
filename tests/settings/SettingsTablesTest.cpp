#include <set>

#include "SettingsFixture.h"
#include "session/ApplySettingsToLink.h"
#include "settings/ParameterCatalogue.h"
#include "settings/ParameterValues.h"
#include "settings/SettingsFields.h"
#include "settings/TimeTable.h"
#include "settings/TriggerKeyTable.h"
#include "settings/Vocabularies.h"

namespace qm::test {
namespace {

// Later members lie at higher addresses, so rising addresses mean record order, no repeats.
TEST(SettingsFieldsTest, TableWalksEveryMemberOnceInRecordOrder) {
    ScanSettings settings;
    const char* previous = nullptr;
    int texts = 0;
    for (size_t i = 0; i < SettingsFields.size(); ++i) {
        const SettingsField& field = SettingsFields[i];
        EXPECT_EQ(field.index, static_cast<int>(i));
        const bool isText = field.kind() == FieldKind::Text;
        const char* address = isText ? reinterpret_cast<const char*>(&field.textIn(settings))
                                     : reinterpret_cast<const char*>(&field.intIn(settings));
        EXPECT_LT(previous, address) << field.name;
        previous = address;
        texts += isText;
    }
    EXPECT_EQ(SettingsFields.front().name, "twoButtonControl");
    EXPECT_EQ(texts, 19);
    EXPECT_EQ(findSettingsField("notisEditing")->index, 77);
    EXPECT_EQ(findSettingsField("noSuchField"), nullptr);
}

TEST(TimeTableTest, HoldsTenthsOfASecondWithOneDecimal) {
    EXPECT_EQ(TimeTable[0], "0.0");
    EXPECT_EQ(TimeTable[9], "0.9");
    EXPECT_EQ(TimeTable[10], "1.0");
    EXPECT_EQ(TimeTable[99], "9.9");
    for (int i = 0; i < 100; ++i) EXPECT_EQ(timeIndexOf(TimeTable[i]), i);
    EXPECT_EQ(timeIndexOf("10.0"), std::nullopt);
    EXPECT_EQ(timeIndexOf("1.00"), std::nullopt);
    EXPECT_EQ(timeIndexOf(""), std::nullopt);
}

TEST(TriggerKeyTableTest, NamesGiveTheirCodesAndOthersTheDefaults) {
    struct Case {
        std::string_view name;
        uint8_t scan;
        uint8_t target;
    };
    for (const Case& c : {Case{"F1", 0xE9, 0xE9}, Case{"F3", 0xEB, 0xEB}, Case{"F5", 0xED, 0xED},
                          Case{"Enter", 0x0D, 0x0D}, Case{"Tab", 0x09, 0x09},
                          Case{"Alt", 0x12, 0x12}, Case{"Ctrl", 0x11, 0x11}, Case{"f1", 0x72, 0x73},
                          Case{"F6", 0x72, 0x73}, Case{"", 0x72, 0x73}}) {
        EXPECT_EQ(scanKeyCode(c.name), c.scan) << c.name;
        EXPECT_EQ(targetKeyCode(1, c.name), c.target) << c.name;
        EXPECT_EQ(targetKeyCode(0, c.name), 0) << c.name;
    }
    for (std::string_view name : KeyNames) EXPECT_TRUE(triggerKeyCode(name).has_value()) << name;
}

TEST(ValueTablesTest, UnusualValuesAndTextsOutsideTheLists) {
    struct Case {
        const ValueTable& table;
        std::string_view text;
        std::optional<uint8_t> value;
    };
    // Values that do not follow list order, and what texts outside the lists give.
    const Case cases[] = {
        {CodeIdModes, "Symbol", 1},
        {CodeIdModes, "AIM", 2},
        {CodeIdValues, "aim", 0},
        {PrefixValues, "Space", 0},
        {SecurityLevelValues, "4", 0},
        {PreambleValues, "Country", std::nullopt},
        {SupplementsValues, "Enable_Smart", 3},
        {SupplementsValues, "", std::nullopt},
        {SupplementRedundancyValues, "21", std::nullopt},
        {MsiCheckDigitsValues, "3", 1},
        {MsiAlgorithmValues, "MOD10_MOD10", 17},
        {I2of5VerifyValues, "OPCC", 1},
        {ScanAngleValues, "", 182},
        {FormatCodes, "<data>", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(c.table.valueOf(c.text), c.value) << c.text;
}

TEST(ValueTablesTest, EveryOfferedTextHasAValue) {
    const std::pair<std::span<const std::string_view>, const ValueTable*> lists[] = {
        {DataFormatTexts, &FormatCodes},
        {CodeIdTexts, &CodeIdValues},
        {PrefixSuffixTexts, &PrefixValues},
        {ScanAngleTexts, &ScanAngleValues},
        {PreambleTexts, &PreambleValues},
        {SupplementTexts, &SupplementsValues},
        {SupplementRedundancyTexts, &SupplementRedundancyValues},
        {SecurityLevelTexts, &SecurityLevelValues},
        {MsiCheckDigitTexts, &MsiCheckDigitsValues},
        {MsiAlgorithmTexts, &MsiAlgorithmValues},
        {I2of5VerifyTexts, &I2of5VerifyValues},
    };
    for (const auto& [texts, table] : lists) {
        std::set<uint8_t> values;
        for (std::string_view text : texts) {
            ASSERT_TRUE(table->valueOf(text).has_value()) << text;
            values.insert(*table->valueOf(text));
        }
        // Only the verification list folds two choices into one value.
        const size_t folded = table == &I2of5VerifyValues ? 1 : 0;
        EXPECT_EQ(values.size(), texts.size() - folded);
    }
}

TEST(ParameterCatalogueTest, NamesRealFieldsAndDistinctEntries) {
    std::set<std::pair<bool, uint8_t>> parameters;
    for (const CatalogueEntry& entry : ParameterCatalogue) {
        const SettingsField* field = findSettingsField(entry.field);
        ASSERT_NE(field, nullptr) << entry.field;
        EXPECT_EQ(field->kind() == FieldKind::Text, entry.derivation == Derivation::ListText)
            << entry.field;
        parameters.insert({entry.extended, entry.parameter});
    }
    EXPECT_EQ(parameters.size(), ParameterCatalogue.size());
}

class ApplySettingsToLinkTest : public SettingsFixture {};

TEST_F(ApplySettingsToLinkTest, CopiesWhatTheScanWedgeUses) {
    ScanSettings& s = state->scanSettings;
    s.twoButtonControl = 1;
    s.dataFormatText = "<Prefix><Data>";
    s.scanTimeIndex = 25;
    s.targetTimeIndex = 7;
    s.scanKeyName = "F2";
    s.targetKeyName = "Alt";
    s.codeIdText = "AIM";
    applyCodeIdModeOnOpening(*state);
    s.codeIdText = "None";

    applySettingsToLink(*state);
    const LinkSettings& link = state->linkSettings;
    EXPECT_EQ(link.twoButtonMode(), 1);
    EXPECT_EQ(link.dataFormat(), 4);
    EXPECT_EQ(link.scanTime(), 25);
    EXPECT_EQ(link.targetTime(), 7);
    EXPECT_EQ(link.scanKey(), 0xEA);
    EXPECT_EQ(link.targetKey(), 0x12);
    EXPECT_EQ(link.codeIdMode(), 2u);  // the setup dialog's to set

    s.twoButtonControl = 0;
    s.dataFormatText = "unknown";
    applySettingsToLink(*state);
    EXPECT_EQ(link.twoButtonMode(), 0);
    EXPECT_EQ(link.dataFormat(), 4);  // kept
    EXPECT_EQ(link.targetKey(), 0);
}

}  // namespace
}  // namespace qm::test
