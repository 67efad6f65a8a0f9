#include <algorithm>
#include <sstream>
#include <vector>

#include "SettingsFixture.h"
#include "session/LoadSettings.h"
#include "session/SaveSettings.h"
#include "settings/ConfigFolder.h"
#include "settings/SettingsFields.h"
#include "settings/TimeTable.h"

namespace qm::test {
namespace {

class SaveSettingsTest : public SettingsFixture {
protected:
    // Saves the state to `name` and loads it into a fresh state.
    std::unique_ptr<ProcessState> saveAndReload(std::string_view name = "LastUser.cfg") {
        EXPECT_EQ(saveSettings(*state, name), 1);
        auto reloaded = freshState();
        EXPECT_EQ(loadSettings(*reloaded, name), 1);
        return reloaded;
    }
};

std::vector<std::string> tokensOf(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> tokens;
    for (std::string token; in >> token;) tokens.push_back(token);
    return tokens;
}

TEST_F(SaveSettingsTest, WritesTheKnownRecordByteForByte) {
    state->configFolder = std::string(kConfigFolder);
    fillExampleRecord(state->scanSettings, state->commandArray);
    ASSERT_EQ(saveSettings(*state, "LastUser.cfg"), 1);
    EXPECT_EQ(readProfile("LastUser.cfg"),
              "1 F3 F4 1 1 0 0 -7 Narrow\n"
              "<Prefix><Data><Suffix1>\n"
              "AIM Tab <LF> None 1 1 3.0 30 1.5 15\n"
              "1 1 1 0 0 1 0 1 1 0 1 1 0 0 1 1 0\n"
              "0 0 1 None 1 None 1 None 0\n"
              "Autodiscriminate_UPC/EAN 10\n"
              "0 0 0 2 55 0 0 0 0 0\n"
              "4 55 2 MOD10_MOD11 0 14 14 Disable\n"
              "0 0 0 0 4 55 4 55 5 55 0 0\n"
              "CommandArray:\n"
              "1\n"
              "1 1 1 1 1 0 1 1 1 0 0 0 0 1 0 2 0 2 37 4 37 E E 5\n"
              "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n"
              "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n"
              "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n"
              "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n"
              "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1E 0 0 0 0 0 0 0 0\n"
              "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n"
              "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 B5 0\n"
              "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n"
              "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 F 0 FF ");
}

TEST_F(SaveSettingsTest, EveryFieldAndSavedEntryComesBack) {
    state->configFolder = std::string(kConfigFolder);
    fillDistinctRecord(state->scanSettings, state->commandArray);
    state->commandArray[250] = 9;  // beyond the saved part: stays behind

    const auto reloaded = saveAndReload();

    EXPECT_EQ(reloaded->scanSettings, state->scanSettings);
    for (size_t i = 0; i < CommandArray::kSavedEntries; ++i)
        EXPECT_EQ(reloaded->commandArray[i], state->commandArray[i]) << "entry " << i;
    EXPECT_EQ(reloaded->commandArray[250], 0);
}

TEST_F(SaveSettingsTest, EmptyTextsComeBackEmptyWithEveryLaterValueInPlace) {
    state->configFolder = std::string(kConfigFolder);
    fillDistinctRecord(state->scanSettings, state->commandArray);
    for (const SettingsField& field : SettingsFields)
        if (field.kind() == FieldKind::Text) field.textIn(state->scanSettings).clear();

    const auto reloaded = saveAndReload();

    EXPECT_EQ(tokensOf(readProfile("LastUser.cfg")).size(), 78u + 1 + 240);
    // An empty time text is no time; the index decides and names its text.
    EXPECT_EQ(reloaded->scanSettings.scanTimeText, "4.2");
    EXPECT_EQ(reloaded->scanSettings.targetTimeText, "9.9");
    state->scanSettings.scanTimeText = "4.2";
    state->scanSettings.targetTimeText = "9.9";
    EXPECT_EQ(reloaded->scanSettings, state->scanSettings);
    EXPECT_EQ(reloaded->commandArray, state->commandArray);
}

TEST_F(SaveSettingsTest, TextsThatCannotBeOneTokenComeBackEmptyAndShiftNothing) {
    state->configFolder = std::string(kConfigFolder);
    fillDistinctRecord(state->scanSettings, state->commandArray);
    state->scanSettings.scanKeyName = "F 3";
    state->scanSettings.prefixText = "a\tb\nc";
    state->scanSettings.msiAlgorithmText = std::string(50, 'M');
    state->scanSettings.scanAngleText = std::string("Nar\0row", 7);
    state->scanSettings.i2of5VerifyText = std::string(49, 'V');  // the longest token allowed

    const auto reloaded = saveAndReload();

    EXPECT_EQ(reloaded->scanSettings.scanKeyName, "");
    EXPECT_EQ(reloaded->scanSettings.prefixText, "");
    EXPECT_EQ(reloaded->scanSettings.msiAlgorithmText, "");
    EXPECT_EQ(reloaded->scanSettings.scanAngleText, "");
    EXPECT_EQ(reloaded->scanSettings.i2of5VerifyText, std::string(49, 'V'));
    EXPECT_EQ(reloaded->scanSettings.i2of5TransmitCheckDigit,
              state->scanSettings.i2of5TransmitCheckDigit);
    EXPECT_EQ(reloaded->commandArray, state->commandArray);
}

struct TimePairCase {
    std::string text;
    int32_t index;
    std::string savedText;
    int32_t savedIndex;
};

class TimeReconciliationTest : public SaveSettingsTest,
                               public ::testing::WithParamInterface<TimePairCase> {};

TEST_P(TimeReconciliationTest, FileAndMemoryHoldTheAgreeingPair) {
    const TimePairCase& pair = GetParam();
    state->configFolder = std::string(kConfigFolder);
    fillDistinctRecord(state->scanSettings, state->commandArray);
    ScanSettings& settings = state->scanSettings;
    settings.scanTimeText = settings.targetTimeText = pair.text;
    settings.scanTimeIndex = settings.targetTimeIndex = pair.index;

    const auto reloaded = saveAndReload();

    for (const ScanSettings* s : {&state->scanSettings, &reloaded->scanSettings}) {
        EXPECT_EQ(s->scanTimeText, pair.savedText);
        EXPECT_EQ(s->scanTimeIndex, pair.savedIndex);
        EXPECT_EQ(s->targetTimeText, pair.savedText);
        EXPECT_EQ(s->targetTimeIndex, pair.savedIndex);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, TimeReconciliationTest,
    ::testing::Values(TimePairCase{"3.0", 12, "3.0", 30}, TimePairCase{"0.0", 99, "0.0", 0},
                      TimePairCase{"9.9", 99, "9.9", 99}, TimePairCase{"2,5", 25, "2.5", 25},
                      TimePairCase{"", 150, "9.9", 99}, TimePairCase{"fast", -3, "0.0", 0}));

TEST_F(SaveSettingsTest, FailsWithoutTouchingMemoryWhenTheFileCannotBeWritten) {
    state->configFolder = "\\No Such Folder\\";
    fillDistinctRecord(state->scanSettings, state->commandArray);
    state->scanSettings.scanTimeIndex = 7;  // disagrees with its text
    const ScanSettings before = state->scanSettings;

    EXPECT_EQ(saveSettings(*state, "LastUser.cfg"), 0);
    EXPECT_EQ(state->scanSettings, before);
}

// The file system judges a name, not a fixed limit of the program's own.
TEST_F(SaveSettingsTest, ProfilePathsOfAnyLengthTheFileSystemTakesWork) {
    state->configFolder = std::string(kConfigFolder);
    fillExampleRecord(state->scanSettings, state->commandArray);
    const std::string longest(255, 'n');  // the longest name a Linux file system takes
    const std::string tooLong = longest + "n";
    std::string reason;

    EXPECT_EQ(saveSettings(*state, longest), 1);
    EXPECT_EQ(loadSettings(*state, longest, &reason), 1) << reason;
    EXPECT_EQ(saveSettings(*state, tooLong), 0);
    EXPECT_EQ(loadSettings(*state, tooLong, &reason), 0);
    EXPECT_EQ(reason, "the file cannot be opened: File name too long");
}

}  // namespace
}  // namespace qm::test
