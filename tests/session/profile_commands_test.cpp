#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "SyncFixture.h"
#include "engine/ParameterExchange.h"
#include "session/ProfileCommands.h"
#include "session/SaveSettings.h"
#include "session/SequenceReport.h"
#include "session/SettingChange.h"
#include "settings/FormatConfigText.h"
#include "settings/ParameterCatalogue.h"

namespace qm::test {
namespace {

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Records what a load or save asks of the dialog, in one list so that order is visible.
class RecordingObserver : public ProfileObserver {
public:
    explicit RecordingObserver(sim::VirtualClock& clock) : clock_(clock) {}
    void showStatus(std::string_view text) override { statuses.emplace_back(text); }
    void showMissingProfile(std::string_view text) override {
        events.push_back("box " + std::string(text));
    }
    void showUnreadableProfile(std::string_view text) override {
        events.push_back("unreadable " + std::string(text));
    }
    void applySettingsToPages() override { events.emplace_back("apply"); }
    void refreshAfterLoad() override { events.emplace_back("refresh"); }
    std::unique_ptr<ProgressReporter> createProgressDialog() override {
        events.emplace_back("progress");
        return std::make_unique<Progress>(*this);
    }

    std::vector<std::string> statuses;
    std::vector<std::string> events;
    std::vector<int> positions;
    int64_t lastPositionMs = 0;
    int64_t closedMs = 0;

private:
    struct Progress : ProgressReporter {
        explicit Progress(RecordingObserver& owner) : owner(owner) {}
        void setPosition(int position) override {
            owner.positions.push_back(position);
            owner.lastPositionMs = owner.clock_.nowMs();
        }
        void close() override {
            owner.events.emplace_back("close");
            owner.closedMs = owner.clock_.nowMs();
        }
        RecordingObserver& owner;
    };
    sim::VirtualClock& clock_;
};

const std::vector<std::string> kLoadEvents{"apply", "progress", "close", "refresh"};

class ProfileCommands : public SyncFixture {
protected:
    // The engine as start-up leaves it: holding the working profile, its table read.
    void SetUp() override {
        SyncFixture::SetUp();
        for (uint8_t n = 0; n < 240; ++n) engine.setParameter(n, state->commandArray[n]);
        requestParameters(state->link, state->engineParamTable);
        engine.clearReceived();
    }

    std::string stateText() const {
        return formatConfigText(state->scanSettings, state->commandArray);
    }

    // A profile on disk that differs from the working one in Code 93 and Code 39's first
    // length; the working one stays in memory.
    void writeUser2() {
        const std::string before = stateText();
        state->scanSettings.enableCode93 = 1;
        state->commandArray[9] = 1;
        state->scanSettings.code39Length1 = 7;
        state->commandArray[18] = 7;
        ASSERT_EQ(saveSettings(*state, "User2.cfg"), 1);
        ASSERT_EQ(loadSettings(*state, "LastUser.cfg"), 1);
        ASSERT_EQ(stateText(), before);
    }

    Bytes extendedStep(uint8_t number, SettingInt& field) {
        return setExtendedPacket(number, static_cast<uint8_t>(field.load()));
    }

    // Parameter 13 goes out on every synchronisation while Code 39 is on; RSS always does.
    std::vector<Bytes> alwaysSentBetween(std::vector<Bytes> middle) {
        std::vector<Bytes> packets{setPacket(13, 0)};
        packets.insert(packets.end(), middle.begin(), middle.end());
        packets.push_back(extendedStep(0x52, state->scanSettings.enableRss));
        packets.push_back(extendedStep(0x53, state->scanSettings.rss14Limited));
        packets.push_back(extendedStep(0x54, state->scanSettings.rss14Extended));
        return packets;
    }

    RecordingObserver observer{clock};
};

TEST_F(ProfileCommands, SaveWritesOnlyUserConfigurationsUnlessInServiceMode) {
    struct Case {
        const char* selected;
        int serviceMode;
        const char* file;        // written, or null
        const char* lastStatus;  // after "Saving user configuration..."
    };
    const Case cases[] = {
        {"User Config 1", 0, "User1.cfg", "User configuration saved."},
        {"Factory Defaults", 0, nullptr, nullptr},
        {"User Config 9", 1, nullptr, nullptr},
        {"Factory Defaults", 1, "defaults.cfg", "Factory defaults saved."},
    };
    state->scanSettings.couponCode = 1;
    state->commandArray[85] = 1;
    const std::string factoryBefore = fileText(profilePath("defaults.cfg"));
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.selected) + " service " + std::to_string(c.serviceMode));
        state->ServiceMode = c.serviceMode;
        observer.statuses.clear();
        EXPECT_EQ(saveProfile(*state, observer, c.selected),
                  c.file ? SaveOutcome::Saved : SaveOutcome::NothingToSave);
        std::vector<std::string> statuses{"Saving user configuration..."};
        if (c.lastStatus) statuses.emplace_back(c.lastStatus);
        EXPECT_EQ(observer.statuses, statuses);
        const auto written = c.file ? profilePath(c.file) : profilePath("defaults.cfg");
        EXPECT_EQ(fileText(written), c.file ? stateText() : factoryBefore);
        EXPECT_EQ(state->currentProfile, kLastUserProfile);
    }
    EXPECT_TRUE(packetsReceived().empty());
}

TEST_F(ProfileCommands, SaveThatCannotWriteSaysSo) {
    std::filesystem::create_directory(profilePath("User3.cfg"));  // a folder where the file goes
    EXPECT_EQ(saveProfile(*state, observer, "User Config 3"), SaveOutcome::NotSaved);
    EXPECT_EQ(observer.statuses.back(), "Failed to save user configuration.");
}

TEST_F(ProfileCommands, LoadOfUserConfigurationSendsExactlyWhatDiffersFromStartUpTable) {
    writeUser2();
    // Changed on a page after start-up and loaded back at its start-up value: not sent.
    changeCheckBox(*state, nullptr, *findCatalogueEntry("enableEan8"), false);
    const std::string lastUserBefore = fileText(profilePath("LastUser.cfg"));
    engine.clearReceived();
    const std::string user2 = fileText(profilePath("User2.cfg"));

    EXPECT_EQ(loadProfile(*state, observer, "User Config 2"), LoadOutcome::Loaded);

    EXPECT_EQ(stateText(), user2);
    EXPECT_EQ(packetsReceived(), alwaysSentBetween({setPacket(18, 7), setPacket(9, 1)}));
    EXPECT_EQ(observer.statuses, (std::vector<std::string>{"Loading user configuration...",
                                                           "User configuration loaded."}));
    EXPECT_EQ(observer.events, kLoadEvents);
    ASSERT_FALSE(observer.positions.empty());
    EXPECT_EQ(observer.positions.front(), 18);
    EXPECT_EQ(observer.positions.size(), 69u);
    EXPECT_EQ(observer.closedMs - observer.lastPositionMs, 250);
    EXPECT_EQ(state->currentProfile, kLastUserProfile);
    EXPECT_EQ(fileText(profilePath("LastUser.cfg")), lastUserBefore);
    // The next change goes to the working profile, which then holds the loaded state.
    changeCheckBox(*state, nullptr, *findCatalogueEntry("couponCode"), true);
    EXPECT_EQ(fileText(profilePath("LastUser.cfg")), stateText());
    EXPECT_NE(fileText(profilePath("User2.cfg")), stateText());
}

TEST_F(ProfileCommands, FailedLoadChangesNothingButTheProfileTheNextChangeGoesTo) {
    struct Case {
        const char* selected;
        const char* file;
        const char* contents;  // null: the file is missing
        const char* box;
        int currentProfileAfter;
    };
    const Case cases[] = {
        {"User Config 2", "User2.cfg", nullptr, "box User Config 2 does not exist.", 2},
        {"Factory Defaults", "defaults.cfg", nullptr, "box Factory Defaults Config does not exist.",
         kLastUserProfile},
        {"Factory Defaults", "defaults.cfg", "0 F3 F4\n",
         "unreadable Factory Defaults Config could not be read: line 2: the file ends before "
         "field 3 (beepOnGoodRead).",
         kLastUserProfile},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.selected);
        std::filesystem::remove(profilePath(c.file));
        if (c.contents) std::ofstream(profilePath(c.file)) << c.contents;
        state->currentProfile = kLastUserProfile;
        const std::string before = stateText();
        const std::string lastUserBefore = fileText(profilePath("LastUser.cfg"));
        observer.events.clear();

        EXPECT_EQ(loadProfile(*state, observer, c.selected),
                  c.contents ? LoadOutcome::Unreadable : LoadOutcome::Missing);

        EXPECT_EQ(observer.events, (std::vector<std::string>{c.box, "refresh"}));
        EXPECT_EQ(stateText(), before);
        EXPECT_EQ(fileText(profilePath("LastUser.cfg")), lastUserBefore);
        EXPECT_TRUE(packetsReceived().empty());
        EXPECT_EQ(state->currentProfile, c.currentProfileAfter);
        // The next change goes to the user profile that is missing, creating its file.
        changeCheckBox(*state, nullptr, *findCatalogueEntry("couponCode"),
                       state->scanSettings.couponCode == 0);
        const std::string changedTo(ProfileFiles[size_t(c.currentProfileAfter)]);
        EXPECT_EQ(fileText(profilePath(changedTo)), stateText());
        if (c.contents) {
            EXPECT_EQ(fileText(profilePath(c.file)), c.contents);
        }
        engine.clearReceived();
    }
}

struct UnreadableCase {
    const char* description;
    std::string contents;
    const char* reason;
};

// What the user had is never written over: it is renamed out of the way, the box says why it
// could not be read and where it is now, and the next change creates the profile anew.
TEST_F(ProfileCommands, AnUnreadableUserProfileIsKeptAsideBeforeAnythingWritesThere) {
    const std::string whole = stateText();
    const UnreadableCase cases[] = {
        {"cut short", whole.substr(0, 40), "line 3: the file ends before field 12 (suffix1Text)"},
        {"empty", "", "line 1: the file ends before field 0 (twoButtonControl)"},
        {"garbled",
         std::string("\x7F"
                     "ELF\0\x01",
                     6) +
             whole,
         "line 1, field 0 (twoButtonControl): \"\\x7FELF\\x00\\x010\" holds a NUL byte"},
    };
    int copy = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description);
        std::ofstream(profilePath("User3.cfg"), std::ios::binary) << c.contents;
        state->currentProfile = kLastUserProfile;
        observer.events.clear();
        const std::string kept =
            "User3.cfg.unreadable" + (++copy > 1 ? "-" + std::to_string(copy) : "");

        EXPECT_EQ(loadProfile(*state, observer, "User Config 3"), LoadOutcome::Unreadable);

        EXPECT_EQ(observer.events,
                  (std::vector<std::string>{
                      "unreadable User Config 3 could not be read: " + std::string(c.reason) +
                          ".\nIt is kept as " + profilePath(kept).string() +
                          "; the next change saves User Config 3 anew.",
                      "refresh"}));
        EXPECT_EQ(state->currentProfile, 3);
        changeCheckBox(*state, nullptr, *findCatalogueEntry("couponCode"),
                       state->scanSettings.couponCode == 0);
        EXPECT_EQ(fileText(profilePath("User3.cfg")), stateText());
        EXPECT_EQ(fileText(profilePath(kept)), c.contents);
    }
}

TEST_F(ProfileCommands, AnUnreadableProfileThatCannotBeKeptAsideIsLeftAlone) {
    std::ofstream(profilePath("User4.cfg")) << "garbled";
    files->failRenames = true;
    const std::string lastUserBefore = fileText(profilePath("LastUser.cfg"));

    EXPECT_EQ(loadProfile(*state, observer, "User Config 4"), LoadOutcome::Unreadable);

    ASSERT_FALSE(observer.events.empty());
    EXPECT_EQ(observer.events.front(),
              "unreadable User Config 4 could not be read: line 1, field 0 (twoButtonControl): "
              "\"garbled\" is not a 32-bit decimal number.\nIt could not be kept aside (Read-only "
              "file system), so it stays as it is and changes go on to the working profile.");
    EXPECT_EQ(state->currentProfile, kLastUserProfile);
    changeCheckBox(*state, nullptr, *findCatalogueEntry("couponCode"),
                   state->scanSettings.couponCode == 0);
    EXPECT_EQ(fileText(profilePath("User4.cfg")), "garbled");
    EXPECT_NE(fileText(profilePath("LastUser.cfg")), lastUserBefore);
}

// The spin brings such a length back into its range; the load itself takes it as it is.
TEST_F(ProfileCommands, AUserProfileWithALengthAbove99LoadsAndStaysAsItWas) {
    state->scanSettings.code39Length1 = 150;
    ASSERT_EQ(saveSettings(*state, "User2.cfg"), 1);
    ASSERT_EQ(loadSettings(*state, "LastUser.cfg"), 1);
    const std::string user2 = fileText(profilePath("User2.cfg"));

    EXPECT_EQ(loadProfile(*state, observer, "User Config 2"), LoadOutcome::Loaded);

    EXPECT_EQ(state->scanSettings.code39Length1, 150);
    EXPECT_EQ(observer.statuses.back(), "User configuration loaded.");
    changeCheckBox(*state, nullptr, *findCatalogueEntry("couponCode"),
                   state->scanSettings.couponCode == 0);
    EXPECT_EQ(fileText(profilePath("User2.cfg")), user2);
    EXPECT_EQ(fileText(profilePath("LastUser.cfg")), stateText());
}

struct EngineShortfallCase {
    const char* description;
    std::function<void(sim::EngineFaults&)> fault;
    const char* selected;
    const char* lastStatus;
};

// Six transactions go out for User Config 2 (two that differ, 13 and the three RSS options),
// four for the factory defaults.
TEST_F(ProfileCommands, ALoadSaysHowManySettingsTheEngineDidNotTake) {
    const EngineShortfallCase cases[] = {
        {"refusing", [](auto& f) { f.nakNextCommands = 1000; }, "User Config 2",
         "User configuration loaded. Failed to update 6 of 6 settings."},
        {"silent", [](auto& f) { f.silentNextCommands = 1000; }, "User Config 2",
         "User configuration loaded. Failed to update 6 of 6 settings."},
        {"refusing the first only", [](auto& f) { f.nakNextCommands = 3; }, "User Config 2",
         "User configuration loaded. Failed to update 1 of 6 settings."},
        {"unplugged", [](auto& f) { f.disconnected = true; }, "Factory Defaults",
         "Defaults restored & loaded. Failed to update 4 of 4 settings."},
    };
    writeUser2();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description);
        c.fault(engine.faults());
        SequenceReport report;

        EXPECT_EQ(loadProfile(*state, observer, c.selected, &report), LoadOutcome::Loaded);

        EXPECT_EQ(observer.statuses.back(), c.lastStatus);
        engine.faults() = {};
        ASSERT_EQ(loadSettings(*state, "LastUser.cfg"), 1);
    }
}

TEST_F(ProfileCommands, FactoryDefaultsTheWorkingProfileCannotHoldAreSaidToBeUnsaved) {
    const std::string lastUserBefore = fileText(profilePath("LastUser.cfg"));
    files->failWrites = true;
    EXPECT_EQ(loadProfile(*state, observer, "Factory Defaults"), LoadOutcome::Loaded);
    EXPECT_EQ(observer.statuses.back(), "Defaults restored & loaded, not saved.");
    EXPECT_EQ(fileText(profilePath("LastUser.cfg")), lastUserBefore);
}

TEST_F(ProfileCommands, FactoryDefaultsRewriteTheWorkingProfileAtOnce) {
    changeCheckBox(*state, nullptr, *findCatalogueEntry("enableCode93"), true);
    ASSERT_EQ(loadProfile(*state, observer, "User Config 1"), LoadOutcome::Missing);
    engine.clearReceived();

    EXPECT_EQ(loadProfile(*state, observer, "Factory Defaults"), LoadOutcome::Loaded);

    EXPECT_EQ(fileText(profilePath("LastUser.cfg")), fileText(profilePath("defaults.cfg")));
    EXPECT_EQ(stateText(), fileText(profilePath("defaults.cfg")));
    EXPECT_EQ(state->currentProfile, kLastUserProfile);
    EXPECT_FALSE(std::filesystem::exists(profilePath("User1.cfg")));
    // Code 93 was sent on the page, but the table from start-up already says 0.
    EXPECT_EQ(packetsReceived(), alwaysSentBetween({}));
    EXPECT_EQ(observer.statuses.back(), "Defaults restored & loaded.");
    EXPECT_EQ(observer.statuses[observer.statuses.size() - 2], "Restoring Factory defaults...");
}

}  // namespace
}  // namespace qm::test
