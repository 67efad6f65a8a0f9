#include <gtest/gtest.h>

#include "PrivateBus.h"
#include "StandInPortal.h"
#include "apps/desktop/GlobalShortcuts.h"
#include "apps/desktop/ShortcutTrigger.h"
#include "platform/sim/VirtualClock.h"
#include "tests/RequiredTools.h"

namespace qm::test {
namespace {

using namespace qm::desktop;

constexpr uint8_t kScan = 0xEB;
constexpr uint8_t kTarget = 0xEC;

TEST(ShortcutTrigger, EveryTriggerKeyNameHasTheKeyItStandsFor) {
    for (const auto& [name, trigger] : {std::pair{"F1", "F1"},
                                        {"F5", "F5"},
                                        {"Enter", "Return"},
                                        {"Tab", "Tab"},
                                        {"Alt", "Alt_L"},
                                        {"Ctrl", "Control_L"},
                                        {"f3", "F3"}}) {  // not in the table: the fallback
        EXPECT_EQ(scanKeyTrigger(name), trigger) << name;
    }
    EXPECT_EQ(targetKeyTrigger("Banana"), "F4");
}

class Shortcuts : public ::testing::Test {
protected:
    void SetUp() override {
        QM_SKIP_UNLESS_TOOLS(bus.running(), "dbus-daemon to run a private bus");
        portal = std::make_unique<StandInPortal>(bus.address(), StandInPortal::Options{});
        ASSERT_TRUE(portal->serving());
    }

    std::unique_ptr<GlobalShortcuts> openBound(const QString& scan, const QString& target) {
        auto shortcuts = GlobalShortcuts::open(bus.connect("wedge"), keys, scan, target);
        EXPECT_TRUE(shortcuts);
        if (shortcuts) {
            EXPECT_TRUE(spinUntil([&] { return shortcuts->isBound(); }));
        }
        return shortcuts;
    }

    QStringList boundTriggers() {
        QStringList triggers;
        for (const PortalShortcut& shortcut : portal->seen().shortcuts)
            triggers << shortcut.id + "=" + shortcut.properties.value("description").toString() +
                            "@" + shortcut.properties.value("preferred_trigger").toString();
        return triggers;
    }

    bool readsDown(uint8_t key) { return keys.asyncKeyState(key) & kKeyDownBit; }

    PrivateBus bus;
    std::unique_ptr<StandInPortal> portal;
    sim::VirtualClock clock;
    TriggerKeysNow now{kScan, kTarget, 30, true};
    RemoteTriggerKeys keys{clock, [this] { return now; }};
};

TEST_F(Shortcuts, NothingWhereTheDesktopOffersNone) {
    portal.reset();
    const StandInPortal none(bus.address(), {.globalShortcuts = false});
    ASSERT_TRUE(none.serving());
    EXPECT_FALSE(GlobalShortcuts::open(bus.connect("wedge"), keys, "F3", "F4"));
}

TEST_F(Shortcuts, BoundWithTheProfilesKeysPreferredThenActivatedPressesAndDeactivatedReleases) {
    auto shortcuts = openBound("F3", "F4");
    ASSERT_TRUE(shortcuts);
    EXPECT_EQ(portal->seen().calls,
              (QStringList{"GlobalShortcuts.CreateSession", "GlobalShortcuts.BindShortcuts"}));
    EXPECT_EQ(boundTriggers(), (QStringList{"scan=Scan key@F3", "target=Target key@F4"}));

    const QString session = portal->seen().latestSession;
    for (const auto& [id, key] : {std::pair{"scan", kScan}, std::pair{"target", kTarget}}) {
        portal->emitShortcut(true, session, id);
        EXPECT_TRUE(spinUntil([&] { return readsDown(key); })) << id;
        portal->emitShortcut(false, session, id);
        EXPECT_TRUE(spinUntil([&] { return !readsDown(key); })) << id;
    }
}

TEST_F(Shortcuts, AChangedTriggerKeyBindsAgainInANewSession) {
    auto shortcuts = openBound("F3", "F4");
    ASSERT_TRUE(shortcuts);
    const QString first = portal->seen().latestSession;
    portal->emitShortcut(true, first, "scan");
    ASSERT_TRUE(spinUntil([&] { return readsDown(kScan); }));

    shortcuts->rebind("F3", "F4");  // unchanged: nothing to do
    EXPECT_TRUE(shortcuts->isBound());
    shortcuts->rebind("Tab", "F4");
    EXPECT_FALSE(readsDown(kScan));  // its Deactivated will never come
    ASSERT_TRUE(spinUntil([&] { return shortcuts->isBound(); }));
    EXPECT_EQ(portal->seen().closedSessions, QStringList{first});
    EXPECT_EQ(boundTriggers(), (QStringList{"scan=Scan key@Tab", "target=Target key@F4"}));
    EXPECT_EQ(portal->seen().calls.count("GlobalShortcuts.BindShortcuts"), 2);

    // The old session is gone; another program's session is not ours either.
    portal->emitShortcut(true, first, "scan");
    portal->emitShortcut(true, portal->seen().latestSession + "x", "scan");
    portal->emitShortcut(true, portal->seen().latestSession, "target");
    ASSERT_TRUE(spinUntil([&] { return readsDown(kTarget); }));
    EXPECT_FALSE(readsDown(kScan));
}

}  // namespace
}  // namespace qm::test
