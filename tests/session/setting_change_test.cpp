#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "session/LoadSettings.h"
#include "session/ScannerChoice.h"
#include "session/SettingChange.h"
#include "session/StatusLine.h"
#include "session/SyncFixture.h"
#include "session/TimeChange.h"
#include "session/TriggerKeyChange.h"
#include "session/TwoButtonChange.h"
#include "settings/SettingsFields.h"
#include "wedge/Aiming.h"

namespace qm::test {
namespace {

class RecordingStatus : public StatusLine {
public:
    void showStatus(std::string_view text) override { texts.emplace_back(text); }
    std::vector<std::string> texts;
};

const std::vector<std::string> kUpdated{"Updating settings...", "Settings Updated."};
const std::vector<std::string> kNotUpdated{"Updating settings...", "Failed to update settings."};

class SettingChange : public SyncFixture {
protected:
    const CatalogueEntry& entry(std::string_view field) { return *findCatalogueEntry(field); }
    SettingInt& intField(std::string_view name) {
        return findSettingsField(name)->intIn(state->scanSettings);
    }
    std::string& textField(std::string_view name) {
        return findSettingsField(name)->textIn(state->scanSettings);
    }
    // What the active profile file holds now, read into a fresh process.
    ScanSettings saved() {
        ProcessState reader(state->platform);
        EXPECT_EQ(loadSettings(reader, "LastUser.cfg"), 1);
        return reader.scanSettings;
    }
    RecordingStatus status;
};

struct CheckBoxCase {
    const char* name;
    const char* field;
    bool ticked;
    bool triopticBefore;
    std::vector<Bytes> packets;
    bool statusShown;
    int32_t triopticAfter;
};

TEST_F(SettingChange, CheckBoxesSendRecordAndSave) {
    const CheckBoxCase cases[] = {
        {"plain", "enableCode93", true, false, {setPacket(9, 1)}, true, 0},
        {"Code 39 clears Trioptic",
         "enableCode39",
         true,
         true,
         {setPacket(0, 1), setPacket(13, 0)},
         true,
         0},
        {"Code 39 cleared alone", "enableCode39", false, true, {setPacket(0, 0)}, true, 1},
        {"Trioptic clears Code 39",
         "enableTriopticCode39",
         true,
         false,
         {setPacket(13, 1), setPacket(0, 0)},
         true,
         1},
        {"RSS", "enableRss", true, false, {setExtendedPacket(0x52, 1)}, true, 0},
        {"RSS-14 Limited is silent",
         "rss14Limited",
         true,
         false,
         {setExtendedPacket(0x53, 1)},
         false,
         0},
    };
    for (const auto& c : cases) {
        intField("enableTriopticCode39") = c.triopticBefore ? 1 : 0;
        engine.clearReceived();
        status.texts.clear();
        const CatalogueEntry& e = entry(c.field);
        EXPECT_EQ(changeCheckBox(*state, &status, e, c.ticked), 0) << c.name;
        EXPECT_EQ(packetsReceived(), c.packets) << c.name;
        const size_t reports = c.statusShown ? c.packets.size() : 0;
        EXPECT_EQ(status.texts.size(), 2 * reports) << c.name;
        EXPECT_EQ(state->commandArray[e.parameter], c.ticked ? 1 : 0) << c.name;
        EXPECT_EQ(intField(c.field), c.ticked ? 1 : 0) << c.name;
        EXPECT_EQ(intField("enableTriopticCode39"), c.triopticAfter) << c.name;
        EXPECT_EQ(findSettingsField(c.field)->intIn(saved()), c.ticked ? 1 : 0) << c.name;
    }
}

TEST_F(SettingChange, AFailedSendIsStillRecordedAndSaved) {
    engine.faults().nakNextCommands = 3;
    EXPECT_EQ(changeCheckBox(*state, &status, entry("enableCodabar"), true), kLinkNotAcknowledged);
    EXPECT_EQ(status.texts, kNotUpdated);
    EXPECT_EQ(state->commandArray[7], 1);
    EXPECT_EQ(saved().enableCodabar, 1);
}

TEST_F(SettingChange, LengthStepsStopAtTheirEnds) {
    struct Case {
        int position, delta;
        std::optional<int> length;
    };
    const Case cases[] = {{0, -1, std::nullopt}, {99, 1, std::nullopt}, {0, 1, 1},
                          {29, 1, 30},           {29, -1, 28},          {120, 1, 99}};
    for (const auto& c : cases) {
        engine.clearReceived();
        const int32_t savedBefore = saved().code39Length1;
        EXPECT_EQ(stepLength(*state, &status, entry("code39Length1"), c.position, c.delta),
                  c.length)
            << c.position << " " << c.delta;
        const std::vector<Bytes> expected =
            c.length ? std::vector<Bytes>{setPacket(18, static_cast<uint8_t>(*c.length))}
                     : std::vector<Bytes>{};
        EXPECT_EQ(packetsReceived(), expected) << c.position << " " << c.delta;
        EXPECT_EQ(saved().code39Length1, c.length.value_or(savedBefore))
            << c.position << " " << c.delta;
    }
}

TEST_F(SettingChange, ListsSendAgainButDataFormatListsOnlyOnChange) {
    const auto& preamble = entry("upcAPreambleText");
    chooseListText(*state, &status, preamble, "System");
    chooseListText(*state, &status, preamble, "System");
    chooseListText(*state, &status, preamble, "Unheard");  // no value: saved, not sent
    EXPECT_EQ(packetsReceived(), (std::vector<Bytes>{setPacket(34, 1), setPacket(34, 1)}));
    EXPECT_EQ(saved().upcAPreambleText, "Unheard");

    engine.clearReceived();
    textField("codeIdText") = "None";
    textField("dataFormatText") = "<Data>";
    chooseDataFormatText(*state, &status, entry("codeIdText"), "None");
    chooseDataFormatText(*state, &status, entry("codeIdText"), "Symbol");
    chooseDataFormatText(*state, &status, entry("dataFormatText"), "<Prefix><Data>");
    EXPECT_EQ(packetsReceived(), (std::vector<Bytes>{setPacket(45, 2), setPacket(235, 4)}));
    EXPECT_EQ(state->linkSettings.codeIdMode(), 1u);
    EXPECT_EQ(state->linkSettings.dataFormat(), 4);
    EXPECT_EQ(saved().dataFormatText, "<Prefix><Data>");
}

TEST_F(SettingChange, FeedbackFlagsPauseBetweenTheirTextsAndSendNothing) {
    const int64_t start = clock.nowMs();
    changeFeedbackFlag(*state, &status, "beepOnNoRead", false);
    EXPECT_EQ(clock.nowMs() - start, 250);
    EXPECT_EQ(status.texts, kUpdated);
    EXPECT_TRUE(packetsReceived().empty());
    EXPECT_EQ(saved().beepOnNoRead, 0);
}

// The engine aims by itself for the target time (237) only in one-button control.
TEST_F(SettingChange, TheAimDurationFollowsTheTargetTimeOnlyInOneButtonControl) {
    struct Case {
        const char* name;
        std::function<void(ProcessState&, StatusLine*)> change;
        std::vector<Bytes> packets;
        uint8_t recorded;
    };
    const Case cases[] = {
        {"target time, one-button",
         [](auto& s, auto* l) { stepTargetTime(s, l, 14, 1); },
         {setPacket(237, 15)},
         15},
        {"two-button on",
         [](auto& s, auto* l) { changeTwoButtonControl(s, l, true); },
         {setPacket(237, 0)},
         0},
        {"target time, two-button", [](auto& s, auto* l) { stepTargetTime(s, l, 15, 1); }, {}, 0},
        {"two-button off while aiming",
         [](auto& s, auto* l) {
             startAiming(s);
             changeTwoButtonControl(s, l, false);
         },
         {bytesOf(AIM_ON), bytesOf(AIM_OFF), setPacket(237, 16)},
         16},
    };
    for (const Case& c : cases) {
        engine.clearReceived();
        c.change(*state, &status);
        EXPECT_EQ(packetsReceived(), c.packets) << c.name;
        EXPECT_EQ(state->commandArray[237], c.recorded) << c.name;
        EXPECT_EQ(state->AimingActive.load(), 0) << c.name;
        ProcessState reader(state->platform);
        ASSERT_EQ(loadSettings(reader, "LastUser.cfg"), 1);
        EXPECT_EQ(reader.commandArray[237], c.recorded) << c.name;
    }
    EXPECT_EQ(saved().targetTimeIndex, 16);
}

struct UnsavedCase {
    const char* name;
    std::function<void(ProcessState&, StatusLine*)> change;
    int refusedCommands;  // by the engine, before the change
    std::string_view lastStatus;
};

const CatalogueEntry& catalogued(std::string_view field) { return *findCatalogueEntry(field); }

// Whatever the change, a profile that could not be written is never reported as updated.
TEST_F(SettingChange, AChangeTheFileDoesNotHoldSaysSoLast) {
    const std::string_view updated = "Settings Updated, not saved.";
    const std::string_view refused = "Failed to update or save.";
    const std::string_view notSaved = "Failed to save settings.";  // no engine parameter
    const UnsavedCase cases[] = {
        {"check box",
         [](auto& s, auto* l) { changeCheckBox(s, l, catalogued("enableCodabar"), true); }, 0,
         updated},
        {"Code 39 and Trioptic",
         [](auto& s, auto* l) { changeCheckBox(s, l, catalogued("enableCode39"), true); }, 0,
         updated},
        {"RSS-14 Limited, silent otherwise",
         [](auto& s, auto* l) { changeCheckBox(s, l, catalogued("rss14Limited"), true); }, 0,
         updated},
        {"length refused",
         [](auto& s, auto* l) { stepLength(s, l, catalogued("code39Length1"), 20, 1); }, 3,
         refused},
        {"list",
         [](auto& s, auto* l) { chooseListText(s, l, catalogued("upcAPreambleText"), "System"); },
         0, updated},
        {"Data Format list, same text",
         [](auto& s, auto* l) {
             chooseDataFormatText(s, l, catalogued("codeIdText"), s.scanSettings.codeIdText);
         },
         0, notSaved},
        {"feedback flag", [](auto& s, auto* l) { changeFeedbackFlag(s, l, "beepOnNoRead", true); },
         0, notSaved},
        {"scan time", [](auto& s, auto* l) { stepScanTime(s, l, 20, 1); }, 0, updated},
        {"target time, two-button",
         [](auto& s, auto* l) {
             s.scanSettings.twoButtonControl = 1;
             stepTargetTime(s, l, 20, 1);
         },
         0, notSaved},
        {"two-button control", [](auto& s, auto* l) { changeTwoButtonControl(s, l, true); }, 0,
         updated},
        {"scan angle",
         [](auto& s, auto* l) {
             s.scanSettings.scanAngleText = "Narrow";
             chooseScanAngle(s, l, "Wide");
         },
         3, refused},
        {"consecutive read level",
         [](auto& s, auto* l) {
             s.scanSettings.consecutiveReadIndex = 0;
             chooseConsecutiveReadLevel(s, l, 3);
         },
         0, updated},
        {"scan key", [](auto& s, auto* l) { chooseScanKey(s, l, "F5"); }, 0, notSaved},
    };
    files->failWrites = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(loadSettings(*state, "LastUser.cfg"), 1);
        engine.faults().nakNextCommands = c.refusedCommands;
        status.texts.clear();
        c.change(*state, &status);
        ASSERT_FALSE(status.texts.empty());
        EXPECT_EQ(status.texts.back(), c.lastStatus);
        engine.faults().nakNextCommands = 0;
    }
}

}  // namespace
}  // namespace qm::test
