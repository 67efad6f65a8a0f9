#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "SyncFixture.h"
#include "engine/ParameterExchange.h"
#include "session/ApplySettingsToLink.h"
#include "session/EngineSync.h"
#include "session/ParameterLists.h"
#include "session/SaveSettings.h"

namespace qm::test {
namespace {

std::vector<int> range(int from, int to) {
    std::vector<int> values;
    for (int i = from; i <= to; ++i) values.push_back(i);
    return values;
}

std::vector<int> concat(std::vector<int> a, const std::vector<int>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The list takes its parameters and rules from the catalogue; what reaches the engine, and in
// which order, must stay as it always was.
TEST(SyncList, PushesTheProfilesParametersInTheirOrderWithTheirRules) {
    const uint8_t order[] = {136, 237, 191, 78, 67,   1,    2,    12, 4,   3,   83,  0,  13,  86,
                             231, 18,  19,  48, 43,   17,   9,    26, 27,  6,   22,  23, 49,  44,
                             82,  16,  80,  40, 41,   42,   34,   35, 36,  37,  38,  39, 224, 77,
                             85,  8,   14,  84, 5,    20,   21,   7,  24,  25,  54,  55, 11,  30,
                             31,  50,  46,  51, 0x52, 0x53, 0x54, 45, 105, 104, 106, 235};
    ASSERT_EQ(std::size(order), SyncList.size());
    for (size_t i = 0; i < SyncList.size(); ++i) {
        const SyncStep& step = SyncList[i];
        EXPECT_EQ(step.number, order[i]) << i;
        const SyncRule rule = step.number == 237  ? SyncRule::AimDuration
                              : step.number == 13 ? SyncRule::TriopticCode39
                              : i >= 60 && i < 63 ? SyncRule::Extended
                                                  : SyncRule::Plain;
        EXPECT_EQ(step.rule, rule) << int(step.number);
    }
}

class EngineSync : public SyncFixture {
protected:
    // The engine holds every forced value and every value the profile wants.
    void engineAlreadyInLine() {
        for (const auto& forced : ForcedParameters)
            engine.setParameter(forced.number, forced.value);
        for (const auto& step : SyncList) {
            if (step.rule != SyncRule::Extended) {
                engine.setParameter(step.number, state->commandArray[step.number]);
            }
        }
    }

    Bytes extendedStepsOf(size_t i) {
        const uint8_t values[] = {uint8_t(state->scanSettings.enableRss.load()),
                                  uint8_t(state->scanSettings.rss14Limited.load()),
                                  uint8_t(state->scanSettings.rss14Extended.load())};
        return setExtendedPacket(uint8_t(0x52 + i), values[i]);
    }

    std::vector<uint8_t> simpleNumbersSent() {
        std::vector<uint8_t> numbers;
        for (const auto& packet : packetsReceived()) {
            if (packet[1] == 0xC6 && packet[0] == 7) numbers.push_back(packet[5]);
        }
        return numbers;
    }
};

TEST_F(EngineSync, EngineInLineGetsOnlyTheFixedTraffic) {
    state->commandArray[0] = 0;  // so parameter 13 follows the ordinary comparison
    engineAlreadyInLine();
    EXPECT_EQ(initializeEngine(*state, &progress), kLinkOk);
    const std::vector<Bytes> expected = {
        Bytes(PARAM_REQUEST_ALL.begin(), PARAM_REQUEST_ALL.end()),
        Bytes(SCAN_ENABLE.begin(), SCAN_ENABLE.end()),
        setExtendedPacket(0x00, 0),
        setExtendedPacket(0x02, 0),
        setExtendedPacket(0x03, 0),
        extendedStepsOf(0),
        extendedStepsOf(1),
        extendedStepsOf(2),
    };
    EXPECT_EQ(packetsReceived(), expected);
    // Position 17 is never shown and 85 comes twice.
    EXPECT_EQ(positions, concat(concat(range(0, 16), range(18, 85)), {85}));
}

TEST_F(EngineSync, FreshEngineIsBroughtInLineWithForcedValuesFirst) {
    EXPECT_EQ(initializeEngine(*state, &progress), kLinkOk);
    for (const auto& forced : ForcedParameters) {
        EXPECT_EQ(engine.parameter(forced.number), forced.value) << int(forced.number);
    }
    const bool code39 = state->commandArray[0] == 1;
    for (const auto& step : SyncList) {
        if (step.rule == SyncRule::Extended) continue;
        const uint8_t expected =
            step.number == 13 && code39 ? 0 : state->commandArray[step.number].load();
        EXPECT_EQ(engine.parameter(step.number), expected) << int(step.number);
    }
    EXPECT_EQ(engine.extendedParameter(0x52), state->scanSettings.enableRss.load());
    // Only differences are sent: a second start-up against the same engine sends none.
    const auto sentFirst = simpleNumbersSent();
    const std::set<uint8_t> distinct(sentFirst.begin(), sentFirst.end());
    EXPECT_EQ(distinct.size(), sentFirst.size());
    const std::vector<uint8_t> forcedOrder = [&] {
        std::vector<uint8_t> order;
        for (auto n : sentFirst) {
            for (const auto& f : ForcedParameters) {
                if (f.number == n) order.push_back(n);
            }
        }
        return order;
    }();
    EXPECT_EQ(forcedOrder.size(), ForcedParameters.size());
    engine.clearReceived();
    initializeEngine(*state, nullptr);
    const std::vector<uint8_t> again = code39 ? std::vector<uint8_t>{13} : std::vector<uint8_t>{};
    EXPECT_EQ(simpleNumbersSent(), again);
}

TEST_F(EngineSync, TriopticIsSentAsZeroEveryTimeWhileCode39IsOn) {
    engineAlreadyInLine();
    state->commandArray[0] = 1;
    state->commandArray[13] = 1;
    engine.setParameter(0, 1);
    engine.setParameter(13, 0);
    requestParameters(state->link, state->engineParamTable);
    engine.clearReceived();
    synchronizeParameters(*state, &progress, 18);
    EXPECT_EQ(simpleNumbersSent(), std::vector<uint8_t>{13});
    EXPECT_EQ(packetsReceived().front(), setPacket(13, 0));
}

TEST_F(EngineSync, AimDurationIsZeroWhileTheTargetKeyAims) {
    state->commandArray[0] = 0;
    engineAlreadyInLine();
    engine.setParameter(237, 0);
    state->commandArray[237] = 30;
    state->scanSettings.twoButtonControl = 1;
    requestParameters(state->link, state->engineParamTable);
    engine.clearReceived();
    synchronizeParameters(*state, nullptr, 18);
    EXPECT_TRUE(simpleNumbersSent().empty());

    state->scanSettings.twoButtonControl = 0;
    engine.clearReceived();
    synchronizeParameters(*state, nullptr, 18);
    EXPECT_EQ(simpleNumbersSent(), std::vector<uint8_t>{237});
    EXPECT_EQ(engine.parameter(237), 30);
}

TEST_F(EngineSync, UnansweredRequestSendsEveryNonZeroValue) {
    engine.faults().silentNextCommands = 1;
    initializeEngine(*state, nullptr);
    size_t expected = ForcedParameters.size();
    for (const auto& step : SyncList) {
        if (step.rule == SyncRule::Extended) continue;
        const bool code39Rule = step.number == 13 && state->commandArray[0] == 1;
        if (code39Rule || state->commandArray[step.number] != 0) ++expected;
    }
    EXPECT_EQ(simpleNumbersSent().size(), expected);
}

class BurnDefaults : public EngineSync {
protected:
    RecordingProgressFactory dialogs;
};

TEST_F(BurnDefaults, FactoryProfileVerifiesAndBecomesTheWorkingCopy) {
    {
        std::ofstream lastUser(profilePath("LastUser.cfg"), std::ios::trunc);
        lastUser << "stale";
    }
    EXPECT_EQ(burnDefaults(*state, dialogs), kLinkOk);
    EXPECT_EQ(state->link.LinkStatus.load(), kLinkOk);
    EXPECT_EQ(fileText(profilePath("LastUser.cfg")), fileText(profilePath("defaults.cfg")));
    EXPECT_EQ(dialogs.created, 1);
    EXPECT_EQ(dialogs.closes, 1);
    EXPECT_EQ(dialogs.positions, concat(concat(range(0, 9), range(10, 77)), {85}));
    // Ten forced stores and 68 steps, all permanent, then the read-back request.
    const auto packets = packetsReceived();
    ASSERT_EQ(packets.size(), 10u + 68u + 1u);
    for (size_t i = 0; i < 78; ++i) EXPECT_EQ(packets[i][3], 0x08) << i;
    EXPECT_EQ(packets[0], paramPacket(true, false, 159, 1));
    EXPECT_EQ(packets[78], Bytes(PARAM_REQUEST_ALL.begin(), PARAM_REQUEST_ALL.end()));
    for (const auto& step : SyncList) {
        if (step.rule == SyncRule::Extended) continue;
        EXPECT_EQ(engine.permanentParameter(step.number), state->commandArray[step.number])
            << int(step.number);
    }
}

TEST_F(BurnDefaults, ADifferingForcedEntryFailsAndLeavesTheWorkingCopy) {
    state->commandArray[159] = 0;  // a forced parameter: the engine will hold 1
    ASSERT_EQ(saveSettings(*state, "defaults.cfg"), 1);
    const std::string lastUserBefore = fileText(profilePath("LastUser.cfg"));
    EXPECT_EQ(burnDefaults(*state, dialogs), kBurnVerifyFailed);
    EXPECT_EQ(state->link.LinkStatus.load(), kBurnVerifyFailed);
    EXPECT_EQ(fileText(profilePath("LastUser.cfg")), lastUserBefore);
    EXPECT_EQ(dialogs.closes, 1);
}

TEST_F(BurnDefaults, UnreadableFactoryProfileBurnsNothing) {
    std::filesystem::remove(profilePath("defaults.cfg"));
    const std::string lastUserBefore = fileText(profilePath("LastUser.cfg"));
    EXPECT_EQ(burnDefaults(*state, dialogs), kBurnDefaultsUnreadable);
    EXPECT_TRUE(packetsReceived().empty());
    EXPECT_EQ(fileText(profilePath("LastUser.cfg")), lastUserBefore);
}

TEST_F(BurnDefaults, KeepsTheLinksScanSettingsButTakesTheTriggerKeys) {
    state->scanSettings.scanTimeIndex = 77;
    state->scanSettings.scanKeyName = "Tab";
    applySettingsToLink(*state);
    burnDefaults(*state, dialogs);
    EXPECT_EQ(state->linkSettings.scanTime(), 77);
    EXPECT_NE(state->linkSettings.scanKey(), 0x09);
}

}  // namespace
}  // namespace qm::test
