#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <functional>

#include "SettingsFixture.h"
#include "session/ApplySettingsToLink.h"
#include "session/LoadSettings.h"
#include "session/SaveSettings.h"
#include "settings/ConfigFolder.h"
#include "settings/FormatConfigText.h"

namespace qm::test {
namespace {

class LoadSettingsTest : public SettingsFixture {
protected:
    LoadSettingsTest() { fillDistinctRecord(state->scanSettings, state->commandArray); }

    static std::string exampleText() {
        ScanSettings settings;
        CommandArray commands;
        fillExampleRecord(settings, commands);
        return formatConfigText(settings, commands);
    }
    // The example file with the first occurrence of `token` replaced.
    static std::string exampleTextWith(std::string_view token, std::string_view replacement) {
        std::string text = exampleText();
        const size_t at = text.find(token);
        EXPECT_NE(at, std::string::npos) << token;
        return text.replace(at, token.size(), replacement);
    }
};

TEST_F(LoadSettingsTest, ReadsAWholeFileAndSetsTheTriggerKeys) {
    ScanSettings expected;
    CommandArray expectedCommands = state->commandArray;
    CommandArray exampleCommands;
    fillExampleRecord(expected, exampleCommands);
    writeProfile("User1.cfg", formatConfigText(expected, exampleCommands));
    for (size_t i = 0; i < CommandArray::kSavedEntries; ++i)
        expectedCommands[i] = exampleCommands[i];

    ASSERT_EQ(loadSettings(*state, "User1.cfg"), 1);
    EXPECT_EQ(state->scanSettings, expected);
    EXPECT_EQ(state->commandArray, expectedCommands);
    EXPECT_EQ(state->linkSettings.scanKey(), 0xEB);    // F3
    EXPECT_EQ(state->linkSettings.targetKey(), 0xEC);  // F4, two-button control on
}

TEST_F(LoadSettingsTest, AMissingFileChangesNothing) {
    const ScanSettings before = state->scanSettings;
    EXPECT_EQ(loadSettings(*state, "User4.cfg"), 0);
    EXPECT_EQ(state->scanSettings, before);
    EXPECT_EQ(state->configFolder, kConfigFolder);
}

enum class StorageEntry { Directory, PlainFile, Nothing };

struct FolderCase {
    StorageEntry storage;
    std::string_view expectedFolder;
};

class ConfigFolderChoiceTest : public LoadSettingsTest,
                               public ::testing::WithParamInterface<FolderCase> {};

TEST_P(ConfigFolderChoiceTest, FilesLiveInTheChosenFolder) {
    const auto storage = root.path() / "Storage/Program Files/Quillmark";
    if (GetParam().storage == StorageEntry::Directory) std::filesystem::create_directories(storage);
    if (GetParam().storage == StorageEntry::PlainFile) {
        std::filesystem::create_directories(storage.parent_path());
        std::ofstream(storage) << "not a folder";
    }
    files.createDirectories(std::string(GetParam().expectedFolder));
    state->configFolder = std::string(GetParam().expectedFolder);
    ASSERT_EQ(saveSettings(*state, "User2.cfg"), 1);

    const auto other = freshState();
    other->configFolder = "\\elsewhere\\";
    EXPECT_EQ(loadSettings(*other, "User2.cfg"), 1);
    EXPECT_EQ(other->configFolder, GetParam().expectedFolder);
    EXPECT_EQ(other->scanSettings, state->scanSettings);
}

INSTANTIATE_TEST_SUITE_P(Storage, ConfigFolderChoiceTest,
                         ::testing::Values(FolderCase{StorageEntry::Directory,
                                                      kStorageConfigFolder},
                                           FolderCase{StorageEntry::PlainFile, kConfigFolder},
                                           FolderCase{StorageEntry::Nothing, kConfigFolder}));

struct RefusedCase {
    std::string_view description;
    std::function<std::string(std::string)> edit;  // of the example file's text
    std::string reason;
};

void PrintTo(const RefusedCase& c, std::ostream* out) { *out << c.description; }

std::function<std::string(std::string)> replacing(std::string token, std::string replacement) {
    return [=](std::string text) {
        const size_t at = text.find(token);
        EXPECT_NE(at, std::string::npos) << token;
        return text.replace(at, token.size(), replacement);
    };
}

std::function<std::string(std::string)> cutBefore(std::string token) {
    return [=](std::string text) { return text.substr(0, text.find(token)); };
}

std::function<std::string(std::string)> appending(std::string tail) {
    return [=](std::string text) { return text + tail; };
}

std::function<std::string(std::string)> whole(std::string replacement) {
    return [=](std::string) { return replacement; };
}

class RefusedFileTest : public LoadSettingsTest,
                        public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedFileTest, IsRefusedWholeWithItsReasonAndChangesNothing) {
    state->scanSettings.twoButtonControl = 1;
    state->scanSettings.scanKeyName = "Tab";
    state->scanSettings.targetKeyName = "Alt";
    applyTriggerKeys(*state);
    const ScanSettings before = state->scanSettings;
    const CommandArray beforeCommands = state->commandArray;
    writeProfile("LastUser.cfg", GetParam().edit(exampleText()));

    std::string reason;
    EXPECT_EQ(loadSettings(*state, "LastUser.cfg", &reason), 0);
    EXPECT_EQ(reason, GetParam().reason);
    EXPECT_EQ(state->scanSettings, before);
    EXPECT_EQ(state->commandArray, beforeCommands);
    EXPECT_EQ(state->linkSettings.scanKey(), 0x09);
    EXPECT_EQ(state->linkSettings.targetKey(), 0x12);
}

const std::string kFiftyNs = "\"NNNNNNNNNNNNNNNNNNNN...\"";

INSTANTIATE_TEST_SUITE_P(
    Files, RefusedFileTest,
    ::testing::Values(
        // Not whole.
        RefusedCase{"empty", whole(""), "line 1: the file ends before field 0 (twoButtonControl)"},
        RefusedCase{"only line breaks", whole("\n\r\n"),
                    "line 3: the file ends before field 0 (twoButtonControl)"},
        RefusedCase{"cut in line 3", cutBefore(" None 1 1 3.0"),
                    "line 3: the file ends before field 13 (suffix2Text)"},
        RefusedCase{"without the CommandArray part", cutBefore("CommandArray:"),
                    "line 10: the file ends before the label CommandArray:"},
        RefusedCase{"cut after the label", cutBefore("1\n1 1 1 1 1 0"),
                    "line 11: the file ends before entry 0 of 240"},
        RefusedCase{"without the last entry", cutBefore("FF "),
                    "line 21: the file ends before entry 239 of 240"},
        RefusedCase{"without the label", replacing("CommandArray:\n", ""),
                    "line 10, the label: \"1\" is not CommandArray:"},
        RefusedCase{"another label", replacing("CommandArray:", "AnyLabel"),
                    "line 10, the label: \"AnyLabel\" is not CommandArray:"},
        RefusedCase{"one entry too many", appending("7"),
                    "line 21, after entry 239: \"7\" is more than the file holds"},
        RefusedCase{"one entry split in two", replacing(" 1E ", " 1 E "),
                    "line 21, after entry 239: \"FF\" is more than the file holds"},
        // Values their fields cannot hold.
        RefusedCase{"check box of 2", replacing("1 F3 F4 1", "1 F3 F4 2"),
                    "line 1, field 3 (beepOnGoodRead): \"2\" is not 0 or 1"},
        RefusedCase{"list index beyond its list", replacing("<LF> None 1 1", "<LF> None 1 4"),
                    "line 3, field 15 (consecutiveReadIndex): \"4\" is not from 0 to 3"},
        RefusedCase{"time index of 100", replacing(" 3.0 30 ", " 3.0 100 "),
                    "line 3, field 17 (scanTimeIndex): \"100\" is not from 0 to 99"},
        RefusedCase{"negative time index", replacing(" 1.5 15", " 1.5 -1"),
                    "line 3, field 19 (targetTimeIndex): \"-1\" is not from 0 to 99"},
        RefusedCase{"negative length", replacing("0 0 0 2 55", "0 0 0 2 -1"),
                    "line 7, field 52 (code39Length2): \"-1\" is not from 0 to 2147483647"},
        RefusedCase{"entry above FF", replacing("E E 5", "E 100 5"),
                    "line 12, entry 23: \"100\" is not a hexadecimal value from 0 to FF"},
        // Malformed tokens.
        RefusedCase{
            "text of 50 characters", replacing("Narrow", std::string(50, 'N')),
            "line 1, field 8 (scanAngleText): " + kFiftyNs + " is longer than 49 characters"},
        RefusedCase{"word for an int", replacing(" -7 ", " seven "),
                    "line 1, field 7 (reserved7): \"seven\" is not a 32-bit decimal number"},
        RefusedCase{"int beyond 32 bits", replacing(" -7 ", " 2147483648 "),
                    "line 1, field 7 (reserved7): \"2147483648\" is not a 32-bit decimal number"},
        RefusedCase{"decimal point in an int", replacing(" -7 ", " 7.0 "),
                    "line 1, field 7 (reserved7): \"7.0\" is not a 32-bit decimal number"},
        RefusedCase{"control sequence for an int", replacing(" -7 ", " \x1B[2J\"\\ "),
                    "line 1, field 7 (reserved7): \"\\x1B[2J\\x22\\x5C\" is not a 32-bit "
                    "decimal number"},
        RefusedCase{"NUL byte inside a text", replacing("Narrow", std::string("Nar\0row", 7)),
                    "line 1, field 8 (scanAngleText): \"Nar\\x00row\" holds a NUL byte"},
        RefusedCase{"label of 50 characters", replacing("CommandArray:", std::string(50, 'N')),
                    "line 10, the label: " + kFiftyNs + " is not CommandArray:"},
        RefusedCase{"entry that is no hex number", replacing("E E 5", "E G 5"),
                    "line 12, entry 23: \"G\" is not a hexadecimal value from 0 to FF"},
        RefusedCase{"negative entry", replacing("E E 5", "E -1 5"),
                    "line 12, entry 23: \"-1\" is not a hexadecimal value from 0 to FF"},
        RefusedCase{"entry with a 0x prefix", replacing("E E 5", "E 0xE 5"),
                    "line 12, entry 23: \"0xE\" is not a hexadecimal value from 0 to FF"}),
    [](const auto& info) {
        std::string name(info.param.description);
        std::replace_if(
            name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
        return name;
    });

TEST_F(LoadSettingsTest, AFifoIsRefusedWithoutBeingOpened) {
    ASSERT_EQ(::mkfifo((profileFolder() / "User3.cfg").c_str(), 0600), 0);
    std::string reason;
    EXPECT_EQ(loadSettings(*state, "User3.cfg", &reason), 0);  // returns: it did not block
    EXPECT_EQ(reason, "the file is not a regular file");
}

TEST_F(LoadSettingsTest, TrailingBlanksAndCrLfLineEndsAreWhole) {
    std::string text = exampleText() + "\r\n\t \n";
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2))
        text.insert(at, "\r");
    writeProfile("LastUser.cfg", text);
    EXPECT_EQ(loadSettings(*state, "LastUser.cfg"), 1);
}

// The spin brings such a length back to 99 on its first step; until then it is what was stored.
TEST_F(LoadSettingsTest, LengthsAboveTheSpinsRangeLoadAsStored) {
    writeProfile("LastUser.cfg", exampleTextWith("0 0 0 2 55", "0 0 0 2 150"));
    ASSERT_EQ(loadSettings(*state, "LastUser.cfg"), 1);
    EXPECT_EQ(state->scanSettings.code39Length2, 150);
}

TEST_F(LoadSettingsTest, NumbersMayCarryAPlusSignLeadingZerosOrSmallLetters) {
    std::string text = exampleTextWith(" -7 ", " +0012 ");
    text.replace(text.find("E E 5"), 5, "0E e 05");
    writeProfile("LastUser.cfg", text);

    ASSERT_EQ(loadSettings(*state, "LastUser.cfg"), 1);
    EXPECT_EQ(state->scanSettings.reserved7, 12);
    EXPECT_EQ(state->commandArray[22], 0xE);
    EXPECT_EQ(state->commandArray[23], 0xE);
    EXPECT_EQ(state->commandArray[24], 5);
}

}  // namespace
}  // namespace qm::test
