#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "SyncFixture.h"
#include "engine/ParameterExchange.h"
#include "session/ProfileCommands.h"
#include "session/SaveSettings.h"
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
        {"User Config 3", "User3.cfg", "0 F3 F4\n", "box User Config 3 does not exist.", 3},
        {"Factory Defaults", "defaults.cfg", nullptr, "box Factory Defaults Config does not exist.",
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

        EXPECT_EQ(loadProfile(*state, observer, c.selected), LoadOutcome::Missing);

        EXPECT_EQ(observer.events, (std::vector<std::string>{c.box, "refresh"}));
        EXPECT_EQ(stateText(), before);
        EXPECT_EQ(fileText(profilePath("LastUser.cfg")), lastUserBefore);
        EXPECT_TRUE(packetsReceived().empty());
        EXPECT_EQ(state->currentProfile, c.currentProfileAfter);
        // The next change goes to the profile that failed, creating or replacing its file.
        changeCheckBox(*state, nullptr, *findCatalogueEntry("couponCode"),
                       state->scanSettings.couponCode == 0);
        const std::string changedTo(ProfileFiles[size_t(c.currentProfileAfter)]);
        EXPECT_EQ(fileText(profilePath(changedTo)), stateText());
        engine.clearReceived();
    }
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
