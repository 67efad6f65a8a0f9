#include <algorithm>
#include <cctype>
#include <fstream>

#include "SettingsFixture.h"
#include "settings/ConfigFolder.h"
#include "settings/FormatConfigText.h"
#include "settings/LoadSettings.h"
#include "settings/SaveSettings.h"

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
    EXPECT_EQ(state->link.scanKey, 0xEB);    // F3
    EXPECT_EQ(state->link.targetKey, 0xEC);  // F4, two-button control on
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

TEST_F(LoadSettingsTest, AShortFileLeavesEverythingAfterItsEndAsItWas) {
    const ScanSettings before = state->scanSettings;
    const CommandArray beforeCommands = state->commandArray;
    // Ends after field 12 (suffix1Text), in the middle of line 3.
    writeProfile("LastUser.cfg", "0 Tab Ctrl 1 1 1 1 1 Wide\n<Data>\nSymbol # <LF>");

    ASSERT_EQ(loadSettings(*state, "LastUser.cfg"), 1);
    const ScanSettings& s = state->scanSettings;
    EXPECT_EQ(s.scanKeyName, "Tab");
    EXPECT_EQ(s.suffix1Text, "<LF>");
    EXPECT_EQ(s.suffix2Text, before.suffix2Text);
    EXPECT_EQ(s.bidirectionalRead, before.bidirectionalRead);
    EXPECT_EQ(s.notisEditing, before.notisEditing);
    EXPECT_EQ(state->commandArray, beforeCommands);
    EXPECT_EQ(state->link.scanKey, 0x09);
    EXPECT_EQ(state->link.targetKey, 0);  // two-button control off
}

class HexValueCountTest : public LoadSettingsTest, public ::testing::WithParamInterface<size_t> {};

TEST_P(HexValueCountTest, FillsEntriesInOrderAndIgnoresValuesBeyond240) {
    const size_t count = GetParam();
    state->commandArray[240] = 0x55;
    const CommandArray before = state->commandArray;
    std::string text = exampleText();
    text.erase(text.find("CommandArray:"));
    text += "AnyLabel\n";
    const char* digits = "0123456789ABCDEF";
    for (size_t i = 0; i < count; ++i) text += std::string{digits[i % 16], ' '};
    writeProfile("LastUser.cfg", text);

    ASSERT_EQ(loadSettings(*state, "LastUser.cfg"), 1);
    for (size_t i = 0; i < CommandArray::kSize; ++i) {
        const bool read = i < std::min(count, CommandArray::kSavedEntries);
        ASSERT_EQ(state->commandArray[i], read ? i % 16 : before[i].load()) << "entry " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Counts, HexValueCountTest, ::testing::Values(0, 3, 239, 240, 250));

struct MalformedCase {
    std::string_view description;
    std::string_view token;
    std::string replacement;
};

class MalformedFileTest : public LoadSettingsTest,
                          public ::testing::WithParamInterface<MalformedCase> {};

TEST_P(MalformedFileTest, IsRejectedWholeAndChangesNothing) {
    state->link.scanKey = 0x41;
    state->link.targetKey = 0x42;
    const ScanSettings before = state->scanSettings;
    const CommandArray beforeCommands = state->commandArray;
    writeProfile("LastUser.cfg", exampleTextWith(GetParam().token, GetParam().replacement));

    EXPECT_EQ(loadSettings(*state, "LastUser.cfg"), 0);
    EXPECT_EQ(state->scanSettings, before);
    EXPECT_EQ(state->commandArray, beforeCommands);
    EXPECT_EQ(state->link.scanKey, 0x41);
    EXPECT_EQ(state->link.targetKey, 0x42);
}

INSTANTIATE_TEST_SUITE_P(
    Tokens, MalformedFileTest,
    ::testing::Values(
        MalformedCase{"text of 50 characters", "Narrow", std::string(50, 'N')},
        MalformedCase{"int of 50 digits", "Narrow\n", "Narrow\n" + std::string(50, '0')},
        MalformedCase{"word for an int", " -7 ", " seven "},
        MalformedCase{"int with trailing letters", " -7 ", " -7x "},
        MalformedCase{"int beyond 32 bits", " -7 ", " 2147483648 "},
        MalformedCase{"decimal point in an int", " -7 ", " 7.0 "},
        MalformedCase{"label of 50 characters", "CommandArray:", std::string(50, 'C')},
        MalformedCase{"entry that is no hex number", "E E 5", "E G 5"},
        MalformedCase{"entry above FF", "E E 5", "E 100 5"},
        MalformedCase{"negative entry", "E E 5", "E -1 5"},
        MalformedCase{"entry with a 0x prefix", "E E 5", "E 0xE 5"}),
    [](const auto& info) {
        std::string name(info.param.description);
        std::replace_if(
            name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
        return name;
    });

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
