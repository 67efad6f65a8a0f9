#include <gtest/gtest.h>

#include <future>
#include <string>

#include "PrivateBus.h"
#include "StandInPortal.h"
#include "TempFolder.h"
#include "apps/desktop/RemoteDesktopKeyboard.h"
#include "tests/RequiredTools.h"
#include "wedge/KeystrokeSynthesis.h"

namespace qm::test {
namespace {

using namespace qm::desktop;
using Keysym = StandInPortal::Keysym;

class RemoteDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        QM_SKIP_UNLESS_TOOLS(bus.running(), "dbus-daemon to run a private bus");
    }

    void serve(StandInPortal::Options options = {}) {
        portal = std::make_unique<StandInPortal>(bus.address(), options);
        ASSERT_TRUE(portal->serving());
    }

    std::unique_ptr<RemoteDesktopKeyboard> open() {
        return RemoteDesktopKeyboard::open(bus.connect("wedge"), token);
    }
    static bool ready(RemoteDesktopKeyboard& keyboard) {
        return spinUntil([&] { return keyboard.state() == RemoteDesktopKeyboard::State::Ready; });
    }

    // Types on a thread of its own, as the scanning thread does, while this one (the GUI
    // thread) runs no events at all: typing must not need it.
    static bool typeWithoutTheGuiThread(Keyboard& keyboard, const std::string& text) {
        auto typed = std::async(std::launch::async, [&] {
            typeDecodedData(keyboard, reinterpret_cast<const uint8_t*>(text.data()),
                            static_cast<int>(text.size()));
        });
        return typed.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    }

    // What the portal keeps of the typing, the warm-up's events left out.
    std::vector<Keysym> typed() {
        std::vector<Keysym> keys;
        for (const Keysym& key : portal->seen().keysyms)
            if (key.keysym != static_cast<int>(RemoteDesktopKeyboard::kWarmUpKeysym))
                keys.push_back(key);
        return keys;
    }

    PrivateBus bus;
    TempFolder root;
    RestoreTokenFile token = RestoreTokenFile::remoteDesktop(root.path());
    std::unique_ptr<StandInPortal> portal;
};

TEST_F(RemoteDesktop, NothingWhereTheDesktopOffersNoRemoteDesktop) {
    EXPECT_FALSE(RemoteDesktopKeyboard::open(bus.connect("wedge"), token));  // no portal
    serve({.remoteDesktop = false});
    EXPECT_FALSE(RemoteDesktopKeyboard::open(bus.connect("wedge2"), token));
}

TEST_F(RemoteDesktop, ASessionWithTheKeyboardThenOneKeysymPerKeyEvent) {
    serve();
    auto keyboard = open();
    ASSERT_TRUE(keyboard);
    // No events have run here, so the session cannot have started: dropped and counted.
    ASSERT_TRUE(typeWithoutTheGuiThread(*keyboard, "ab"));
    EXPECT_EQ(keyboard->droppedEvents(), 4u);
    EXPECT_FALSE(keyboard->problem().isEmpty());
    ASSERT_TRUE(ready(*keyboard));
    EXPECT_TRUE(keyboard->problem().isEmpty());
    const auto seen = portal->seen();
    EXPECT_EQ(seen.calls.mid(0, 3),
              (QStringList{"RemoteDesktop.CreateSession", "RemoteDesktop.SelectDevices",
                           "RemoteDesktop.Start"}));
    EXPECT_EQ(seen.options["SelectDevices"],
              (QVariantMap{{"handle_token", seen.options["SelectDevices"]["handle_token"]},
                           {"types", 1u},
                           {"persist_mode", 2u}}));  // no restore token kept yet

    // This portal loses the first key of a session: the warm-up's, not the decode's.
    ASSERT_TRUE(typeWithoutTheGuiThread(*keyboard, "A1@\n"));
    const std::vector<Keysym> expected{{'A', true}, {'A', false}, {'1', true},    {'1', false},
                                       {'@', true}, {'@', false}, {0xFF0D, true}, {0xFF0D, false}};
    EXPECT_TRUE(spinUntil([&] { return typed().size() >= expected.size(); }));
    EXPECT_EQ(typed(), expected);
}

TEST_F(RemoteDesktop, TheRestoreTokenIsKeptAndOfferedAtTheNextStart) {
    serve();
    ASSERT_TRUE(ready(*open()));
    EXPECT_EQ(token.read(), "restore-1");
    namespace fs = std::filesystem;
    EXPECT_EQ(fs::status(token.path()).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);

    portal->setRestoreToken("restore-2");
    ASSERT_TRUE(ready(*open()));
    EXPECT_EQ(portal->seen().options["SelectDevices"]["restore_token"], QVariant("restore-1"));
    EXPECT_EQ(token.read(), "restore-2");  // the portal may hand out a new one each time
}

}  // namespace
}  // namespace qm::test
