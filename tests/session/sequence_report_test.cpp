// What the sequences tell beyond LinkStatus, and a burn that is all or nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "SyncFixture.h"
#include "engine/ParameterExchange.h"
#include "session/EngineSync.h"
#include "session/ParameterLists.h"
#include "session/SaveSettings.h"

namespace qm::test {
namespace {

using Kind = FailedTransaction::Kind;

Bytes bytes(const auto& packet) { return Bytes(packet.begin(), packet.end()); }

std::vector<Bytes> times(int count, const Bytes& packet) {
    return std::vector<Bytes>(static_cast<size_t>(count), packet);
}

std::vector<Bytes> operator+(std::vector<Bytes> a, const std::vector<Bytes>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<Bytes> extendedSteps(const ScanSettings& s) {
    return {setExtendedPacket(0x52, uint8_t(s.enableRss.load())),
            setExtendedPacket(0x53, uint8_t(s.rss14Limited.load())),
            setExtendedPacket(0x54, uint8_t(s.rss14Extended.load()))};
}

struct SequenceCase {
    std::string_view description;
    bool initialize;   // initializeEngine, else synchronizeParameters
    int naks;          // refusals the engine answers the first sends with
    bool scanTimeOff;  // the engine holds another scan time (parameter 136)
    std::vector<FailedTransaction> failed;
    std::function<std::vector<Bytes>(const ProcessState&)> packets;
};

void PrintTo(const SequenceCase& c, std::ostream* out) { *out << c.description; }

class SequenceReportTest : public SyncFixture, public ::testing::WithParamInterface<SequenceCase> {
protected:
    // The engine holds every value but, when asked, the scan time.
    void SetUp() override {
        SyncFixture::SetUp();
        state->commandArray[0] = 0;  // parameter 13 then follows the ordinary comparison
        for (const auto& forced : ForcedParameters)
            engine.setParameter(forced.number, forced.value);
        for (const auto& step : SyncList)
            if (step.rule != SyncRule::Extended)
                engine.setParameter(step.number, state->commandArray[step.number]);
        if (GetParam().scanTimeOff) engine.setParameter(136, state->commandArray[136] + 1);
        requestParameters(state->link, state->engineParamTable);
        engine.clearReceived();
    }
};

// A refusal early in the sequence survives the successful sends after it.
TEST_P(SequenceReportTest, ListsEveryFailedTransactionWhileLinkStatusKeepsTheLast) {
    engine.faults().nakNextCommands = GetParam().naks;
    SequenceReport report;
    report.failed.push_back({Kind::Parameter, 1, 1});  // stale: a sequence starts afresh
    if (GetParam().initialize)
        EXPECT_EQ(initializeEngine(*state, nullptr, &report), kLinkOk);
    else
        synchronizeParameters(*state, nullptr, 18, &report);
    EXPECT_EQ(state->link.LinkStatus.load(), kLinkOk);
    EXPECT_EQ(report.failed, GetParam().failed);
    EXPECT_EQ(report.everyTransactionSucceeded(), GetParam().failed.empty());
    EXPECT_EQ(packetsReceived(), GetParam().packets(*state));
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, SequenceReportTest,
    ::testing::Values(
        SequenceCase{"all_succeed",
                     false,
                     0,
                     true,
                     {},
                     [](const ProcessState& s) {
                         return std::vector<Bytes>{setPacket(136, s.commandArray[136])} +
                                extendedSteps(s.scanSettings);
                     }},
        SequenceCase{"scan_enable_refused",
                     true,
                     3,
                     false,
                     {{Kind::ScanEnable, 0, 13}},
                     [](const ProcessState& s) {
                         return std::vector<Bytes>{bytes(PARAM_REQUEST_ALL)} +
                                times(3, bytes(SCAN_ENABLE)) +
                                std::vector<Bytes>{setExtendedPacket(0, 0), setExtendedPacket(2, 0),
                                                   setExtendedPacket(3, 0)} +
                                extendedSteps(s.scanSettings);
                     }},
        SequenceCase{"parameter_and_extended_refused",
                     false,
                     6,
                     true,
                     {{Kind::Parameter, 136, 13}, {Kind::ExtendedParameter, 0x52, 13}},
                     [](const ProcessState& s) {
                         const auto ext = extendedSteps(s.scanSettings);
                         return times(3, setPacket(136, s.commandArray[136])) + times(3, ext[0]) +
                                std::vector<Bytes>{ext[1], ext[2]};
                     }}),
    [](const auto& info) { return std::string(info.param.description); });

class BurnReportTest : public SyncFixture {
protected:
    void writeDefaults(const std::string& text) {
        std::ofstream(profilePath("defaults.cfg"), std::ios::binary | std::ios::trunc) << text;
    }
    std::string lastUser() {
        std::ifstream in(profilePath("LastUser.cfg"), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    RecordingProgressFactory dialogs;
    SequenceReport report;
};

struct UnburnableCase {
    std::string_view description;
    std::function<std::string(std::string)> edit;  // of the shipped defaults.cfg
    std::string fault;
};

void PrintTo(const UnburnableCase& c, std::ostream* out) { *out << c.description; }

class UnburnableDefaultsTest : public BurnReportTest,
                               public ::testing::WithParamInterface<UnburnableCase> {};

// Burning half a profile would store zero for everything it lacks, permanently.
TEST_P(UnburnableDefaultsTest, BurnsNothingAndSaysWhy) {
    std::ifstream in(profilePath("defaults.cfg"), std::ios::binary);
    std::stringstream shipped;
    shipped << in.rdbuf();
    writeDefaults(GetParam().edit(shipped.str()));
    const std::string lastUserBefore = lastUser();

    EXPECT_EQ(burnDefaults(*state, dialogs, &report), kBurnDefaultsUnreadable);
    EXPECT_EQ(state->link.LinkStatus.load(), kBurnDefaultsUnreadable);
    EXPECT_EQ(report.profileFault, GetParam().fault);
    EXPECT_TRUE(packetsReceived().empty());
    EXPECT_EQ(dialogs.created, 0);
    EXPECT_EQ(lastUser(), lastUserBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnburnableDefaultsTest,
    ::testing::Values(UnburnableCase{"empty", [](std::string) { return std::string(); },
                                     "line 1: the file ends before field 0 (twoButtonControl)"},
                      UnburnableCase{"without_CommandArray",
                                     [](std::string text) {
                                         return text.substr(0, text.find("CommandArray:"));
                                     },
                                     "line 10: the file ends before the label CommandArray:"}),
    [](const auto& info) { return std::string(info.param.description); });

TEST_F(BurnReportTest, AVerifiedBurnWhoseWorkingProfileCannotBeWrittenSaysSo) {
    std::filesystem::remove(profilePath("LastUser.cfg"));
    std::filesystem::create_directory(profilePath("LastUser.cfg"));

    EXPECT_EQ(burnDefaults(*state, dialogs, &report), kLinkOk);
    EXPECT_EQ(state->link.LinkStatus.load(), kLinkOk);
    EXPECT_TRUE(report.everyTransactionSucceeded());
    EXPECT_FALSE(report.workingProfileWritten);
    EXPECT_EQ(packetsReceived().size(), 10u + 68u + 1u);
}

TEST_F(BurnReportTest, ARefusedStoreAndADifferingEntryAreNamed) {
    state->commandArray[159] = 0;  // forced to 1 all the same, so it reads back differing
    ASSERT_EQ(saveSettings(*state, "defaults.cfg"), 1);
    engine.setParameter(159, 1);
    engine.faults().nakNextCommands = 3;  // the first store, parameter 159

    EXPECT_EQ(burnDefaults(*state, dialogs, &report), kBurnVerifyFailed);
    EXPECT_EQ(report.failed, (std::vector<FailedTransaction>{{Kind::Parameter, 159, 13}}));
    EXPECT_EQ(report.differing, std::vector<uint8_t>{159});
    EXPECT_FALSE(report.workingProfileWritten);
    const auto packets = packetsReceived();
    ASSERT_EQ(packets.size(), 3u + 9u + 68u + 1u);
    EXPECT_EQ(times(3, paramPacket(true, false, 159, 1)),
              std::vector<Bytes>(packets.begin(), packets.begin() + 3));
}

}  // namespace
}  // namespace qm::test
