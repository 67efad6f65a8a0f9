#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "session/LoadSettings.h"
#include "session/SettingChange.h"
#include "session/StatusLine.h"
#include "session/SyncFixture.h"
#include "settings/SettingsFields.h"

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
    EXPECT_EQ(state->link.codeIdMode, 1u);
    EXPECT_EQ(state->link.dataFormat, 4);
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

}  // namespace
}  // namespace qm::test
