#include <gtest/gtest.h>

#include <future>
#include <string>

#include "PrivateBus.h"
#include "StandInPortal.h"
#include "TempFolder.h"
#include "apps/desktop/RemoteDesktopKeyboard.h"
#include "wedge/KeystrokeSynthesis.h"

namespace qm::test {
namespace {

using namespace qm::desktop;
using Keysym = StandInPortal::Keysym;

class RemoteDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        if (!bus.running()) GTEST_SKIP() << "no dbus-daemon to run a private bus";
    }

    void serve(StandInPortal::Options options = {}) {
        portal = std::make_unique<StandInPortal>(bus.address(), options);
        ASSERT_TRUE(portal->serving());
    }

    std::unique_ptr<RemoteDesktopKeyboard> openReady() {
        auto keyboard = RemoteDesktopKeyboard::open(bus.connect("wedge"), token);
        EXPECT_TRUE(keyboard);
        if (!keyboard) return nullptr;
        EXPECT_TRUE(
            spinUntil([&] { return keyboard->state() == RemoteDesktopKeyboard::State::Ready; }));
        return keyboard;
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
        for (const Keysym& key : portal->keysyms())
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
    auto keyboard = openReady();
    ASSERT_TRUE(keyboard);
    EXPECT_EQ(portal->calls().mid(0, 3),
              (QStringList{"RemoteDesktop.CreateSession", "RemoteDesktop.SelectDevices",
                           "RemoteDesktop.Start"}));
    const QVariantMap devices = portal->optionsOf("SelectDevices");
    EXPECT_EQ(devices.value("types"), QVariant(1u));
    EXPECT_EQ(devices.value("persist_mode"), QVariant(2u));
    EXPECT_FALSE(devices.contains("restore_token"));  // nothing kept yet

    // The first key of the session is lost by this portal: the warm-up's, not the decode's.
    ASSERT_TRUE(typeWithoutTheGuiThread(*keyboard, "A1@\n"));
    const std::vector<Keysym> expected{{'A', true}, {'A', false}, {'1', true},    {'1', false},
                                       {'@', true}, {'@', false}, {0xFF0D, true}, {0xFF0D, false}};
    EXPECT_TRUE(spinUntil([&] { return typed().size() >= expected.size(); }));
    EXPECT_EQ(typed(), expected);
    EXPECT_EQ(keyboard->droppedEvents(), 0u);
}

TEST_F(RemoteDesktop, TheRestoreTokenIsKeptAndOfferedAtTheNextStart) {
    serve();
    openReady().reset();
    EXPECT_EQ(token.read(), "restore-1");
    namespace fs = std::filesystem;
    EXPECT_EQ(fs::status(token.path()).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);

    portal->setRestoreToken("restore-2");
    auto again = openReady();
    EXPECT_EQ(portal->optionsOf("SelectDevices").value("restore_token"), QVariant("restore-1"));
    EXPECT_EQ(token.read(), "restore-2");  // the portal may hand out a new one each time
}

TEST_F(RemoteDesktop, KeysBeforeTheSessionIsReadyAreDroppedAndCounted) {
    serve();
    auto keyboard = RemoteDesktopKeyboard::open(bus.connect("wedge"), token);
    ASSERT_TRUE(keyboard);
    // No events run here, so the session cannot have started.
    ASSERT_TRUE(typeWithoutTheGuiThread(*keyboard, "ab"));
    EXPECT_EQ(keyboard->droppedEvents(), 4u);
    EXPECT_FALSE(keyboard->problem().isEmpty());
    ASSERT_TRUE(
        spinUntil([&] { return keyboard->state() == RemoteDesktopKeyboard::State::Ready; }));
    EXPECT_TRUE(keyboard->problem().isEmpty());
    EXPECT_TRUE(typed().empty());
}

}  // namespace
}  // namespace qm::test
