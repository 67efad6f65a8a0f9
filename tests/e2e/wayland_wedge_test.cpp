// quillmark itself in a headless sway session against the engine simulator on a
// pseudo-terminal, as a user of a wlroots desktop runs it: its own choice of paths, decodes
// typed into a native Wayland terminal (foot) and an X one (xterm through XWayland), the scan
// key bound in sway to `quillmark --scan-key press` and `release`, the popups on.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "platform/linux/BareVirtualKeyboardLoop.h"
#include "platform/linux/DeviceRootFileSystem.h"
#include "settings/ProfileFile.h"
#include "settings/ProfileFiles.h"
#include "tests/RequiredTools.h"
#include "tests/e2e/SwayHeadless.h"

namespace qm::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using linux_platform::BareVirtualKeyboardLoop;
using Receiver = SwayHeadless::Receiver;

const std::string kWedge = QM_WEDGE;
// Characters on other keys on de and fr than on us, or needing AltGr there.
const std::string kShuffled = "Qz-Ay/1:@;#";

// The wedge's main window, which comes and goes in the tests, leaves the focus where it is;
// its popups are left to show whether they take it.
const std::string kBindings =
    "no_focus [title=\"^Quillmark [0-9]\"]\n"
    "bindsym --no-repeat F3 exec " +
    kWedge +
    " --scan-key press\n"
    "bindsym --release F3 exec " +
    kWedge +
    " --scan-key release\n"
    "bindsym --no-repeat F4 exec " +
    kWedge +
    " --target-key press\n"
    "bindsym --release F4 exec " +
    kWedge + " --target-key release\n";

struct Profile {
    bool popups = false;
    bool twoButton = false;
    const char* scanKey = "F3";
};

class WaylandWedge : public ::testing::Test {
protected:
    // One session for every test, its terminals started before any wedge, and a keyboard
    // standing for the user's.
    static void SetUpTestSuite() {
        if (!SwayHeadless::available()) return;
        session_ = std::make_unique<SwayHeadless>();
        if (!session_->start(kBindings) || !session_->startReceiver(Receiver::Xterm) ||
            !session_->startReceiver(Receiver::Foot)) {
            session_.reset();
            return;
        }
        users_ = BareVirtualKeyboardLoop::open(session_->waylandDisplay().c_str());
    }
    static void TearDownTestSuite() {
        users_.reset();
        session_.reset();
    }

    void SetUp() override {
        QM_SKIP_UNLESS_TOOLS(SwayHeadless::available() && programAvailable("gdbus"),
                             "sway, foot, xterm, Xwayland, xhost, dbus-run-session and gdbus");
        ASSERT_TRUE(session_ && users_) << "no headless sway with both terminals";
        ++run_;
    }
    void TearDown() override {
        if (!session_) return;
        stopProgram(pidIn("wedge"));
        stopProgram(pidIn("engine"));
    }

    fs::path out(const std::string& name) const {
        return session_->scratch() / "out" / (name + std::to_string(run_));
    }
    long pidIn(const std::string& name) const {
        const std::string text = readFile(out(name + ".pid"));
        return text.empty() ? 0 : std::stol(text);
    }

    void startEngine(const std::string& barcode) {
        const fs::path lines = out("engine.out");
        ASSERT_TRUE(session_->exec("echo $$ > " + quoted(out("engine.pid")) + "; exec " +
                                   QM_ENGINE_SIM + " --barcode 'code128:" + barcode + "' > " +
                                   quoted(lines)));
        ASSERT_TRUE(waitForFileSize(lines, 2, 10s));
        ASSERT_TRUE(waitFor([&] { return readFile(lines).find('\n') != std::string::npos; }));
        port_ = readFile(lines).substr(0, readFile(lines).find('\n'));
    }

    void prepareRoot(Profile profile) {
        root_ = out("root");
        ASSERT_TRUE(prepareDeviceRoot(root_, QM_SOURCE_DIR "/resources"));
        DeviceRootFileSystem files(root_);
        ScanSettings settings;
        CommandArray commands{};
        const std::string path = std::string(kConfigFolder) + "LastUser.cfg";
        ASSERT_TRUE(readProfile(files, path, settings, commands, nullptr));
        settings.visualOnGoodRead = profile.popups ? 1 : 0;
        settings.visualOnNoRead = profile.popups ? 1 : 0;
        settings.twoButtonControl = profile.twoButton ? 1 : 0;
        settings.scanKeyName = profile.scanKey;
        ASSERT_TRUE(writeProfile(files, path, settings, commands));
        ASSERT_TRUE(SwayHeadless::giveToSession(root_));
    }

    // Started as the session starts programs, with `environment` before it; ready once its
    // control interface says scanning is on.
    void startWedge(const std::string& barcode, Profile profile = {},
                    const std::string& environment = {}, const std::string& options = {}) {
        startEngine(barcode);
        prepareRoot(profile);
        ASSERT_TRUE(session_->exec("echo $$ > " + quoted(out("wedge.pid")) + "; exec env " +
                                   environment + " " + kWedge + " " + options + " --trace --root " +
                                   quoted(root_) + " --port " + port_ + " 2> " +
                                   quoted(out("wedge.err"))));
        ASSERT_TRUE(waitFor(
            [&] {
                return session_->execAndWait(
                           "gdbus call --session --dest org.quillmark.Wedge --object-path "
                           "/org/quillmark/Wedge --method org.freedesktop.DBus.Properties.Get "
                           "org.quillmark.Wedge1 ScanningEnabled | grep -q true") == 0;
            },
            30s))
            << readFile(out("wedge.err"));
    }

    int keyCall(const std::string& arguments) {
        return session_->execAndWait(kWedge + " " + arguments + " 2>/dev/null");
    }

    void scanByCommand() {
        ASSERT_EQ(keyCall("--scan-key press"), 0);
        ASSERT_EQ(keyCall("--scan-key release"), 0);
    }

    // A key of the user's keyboard held `held` long.
    static void holdFunctionKey(int number, std::chrono::milliseconds held) {
        users_->holdFunctionKey(number, true);
        std::this_thread::sleep_for(held);
        users_->holdFunctionKey(number, false);
    }

    // What `receiver` got after `before` bytes once `size` more are there, or after `limit`.
    static std::string arrived(Receiver receiver, size_t before, size_t size,
                               std::chrono::milliseconds limit = 10s) {
        waitForFileSize(session_->output(receiver), before + size, limit);
        return readFile(session_->output(receiver)).substr(before);
    }
    static size_t received(Receiver receiver) {
        return readFile(session_->output(receiver)).size();
    }

    template <typename Condition>
    static bool waitFor(Condition done, std::chrono::milliseconds limit = 10s) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(20ms);
        }
        return true;
    }

    std::string wedgeErrors() const { return readFile(out("wedge.err")); }
    size_t starts() const {
        const std::string trace = wedgeErrors();
        size_t count = 0;
        for (size_t at = trace.find("sent     START_DECODE"); at != std::string::npos;
             at = trace.find("sent     START_DECODE", at + 1))
            ++count;
        return count;
    }

    static inline std::unique_ptr<SwayHeadless> session_;
    static inline std::unique_ptr<BareVirtualKeyboardLoop> users_;
    static inline int run_ = 0;
    fs::path root_;
    std::string port_;
};

TEST_F(WaylandWedge, DecodesArriveInFootAndXtermOnEveryLayout) {
    startWedge(kShuffled);
    for (const char* layout : {"us", "de", "fr"}) {
        ASSERT_TRUE(session_->setLayout(layout));
        for (const Receiver receiver : {Receiver::Foot, Receiver::Xterm}) {
            SCOPED_TRACE(std::string(layout) + (receiver == Receiver::Foot ? " foot" : " xterm"));
            ASSERT_TRUE(session_->focus(receiver));
            const size_t before = received(receiver);
            scanByCommand();
            EXPECT_EQ(arrived(receiver, before, kShuffled.size()), kShuffled);
        }
    }
    ASSERT_TRUE(session_->setLayout("us"));
}

// A tool that types through its own small keymap leaves it on XWayland's keyboard.
TEST_F(WaylandWedge, StartsAndTypesRightAfterAnotherToolChangedTheKeymap) {
    QM_SKIP_UNLESS_TOOLS(programAvailable("wtype"), "wtype");
    ASSERT_TRUE(session_->focus(Receiver::Xterm));
    size_t before = received(Receiver::Xterm);
    ASSERT_EQ(run(session_->withWayland("wtype abc")), 0);
    ASSERT_EQ(arrived(Receiver::Xterm, before, 3), "abc");
    startWedge(kShuffled);
    ASSERT_TRUE(session_->focus(Receiver::Xterm));
    before = received(Receiver::Xterm);
    scanByCommand();
    EXPECT_EQ(arrived(Receiver::Xterm, before, kShuffled.size()), kShuffled);
}

// With the session saying it is Wayland, Qt would draw natively where its Wayland plugin is
// installed; the wedge decides, and one press of the bound F3 scans once either way. F3
// itself reaches no window.
class WaylandWedgeQtPlugin : public WaylandWedge, public testing::WithParamInterface<bool> {
protected:
    // A copy of Qt's plugins without the Wayland platform plugins.
    std::string withoutWaylandPlugin() {
        const fs::path plugins = session_->scratch() / "plugins-without-wayland";
        const std::string from = "/usr/lib/x86_64-linux-gnu/qt6/plugins";
        if (!fs::exists(plugins)) {
            EXPECT_EQ(run("cp -r " + from + " " + quoted(plugins) + " && rm -f " +
                          quoted(plugins / "platforms") + "/libqwayland*"),
                      0);
        }
        return "QT_QPA_PLATFORM_PLUGIN_PATH=" + quoted(plugins / "platforms") +
               " QT_PLUGIN_PATH=" + quoted(plugins);
    }
};

TEST_P(WaylandWedgeQtPlugin, OneF3PressTypesOneDecodeIntoFoot) {
    const bool pluginPresent = GetParam();
    const bool installed =
        fs::exists("/usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqwayland-generic.so");
    QM_SKIP_UNLESS_TOOLS(!pluginPresent || installed, "qt6-wayland");
    const std::string environment =
        "XDG_SESSION_TYPE=wayland" + (pluginPresent ? "" : " " + withoutWaylandPlugin());
    startWedge("E2E-0001", {.popups = true}, environment);
    ASSERT_TRUE(session_->focus(Receiver::Foot));
    const size_t before = received(Receiver::Foot);
    holdFunctionKey(3, 400ms);
    ASSERT_EQ(arrived(Receiver::Foot, before, 8), "E2E-0001");
    // A key left down would scan again after the popup's 1.5 s and the pause.
    EXPECT_EQ(arrived(Receiver::Foot, before, 9, 5s), "E2E-0001") << wedgeErrors();
}

INSTANTIATE_TEST_SUITE_P(QtWaylandPlugin, WaylandWedgeQtPlugin, testing::Bool(),
                         [](const auto& info) { return info.param ? "present" : "absent"; });

// What the user types while a popup is up reaches the window that had the focus, whether Qt
// draws through XWayland (the wedge's choice) or natively (the user's).
class WaylandWedgePopupFocus : public WaylandWedge,
                               public testing::WithParamInterface<const char*> {};

TEST_P(WaylandWedgePopupFocus, TypingDuringThePopupReachesTheFocusedWindow) {
    const std::string platform = GetParam();
    QM_SKIP_UNLESS_TOOLS(
        platform != "wayland" ||
            fs::exists("/usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqwayland-generic.so"),
        "qt6-wayland");
    startWedge("E2E-0001", {.popups = true},
               platform.empty() ? "XDG_SESSION_TYPE=wayland" : "QT_QPA_PLATFORM=" + platform);
    for (const Receiver receiver : {Receiver::Foot, Receiver::Xterm}) {
        SCOPED_TRACE(receiver == Receiver::Foot ? "foot" : "xterm");
        ASSERT_TRUE(session_->focus(receiver));
        const size_t before = received(receiver);
        scanByCommand();
        ASSERT_EQ(arrived(receiver, before, 8), "E2E-0001");
        // The popup's 1.5 s has just begun.
        users_->type("during");
        EXPECT_EQ(arrived(receiver, before, 14), "E2E-0001during");
        std::this_thread::sleep_for(2s);
    }
}

INSTANTIATE_TEST_SUITE_P(Platforms, WaylandWedgePopupFocus, testing::Values("", "wayland"),
                         [](const auto& info) {
                             return std::string(info.param).empty() ? "chosen" : "native";
                         });

TEST_F(WaylandWedge, WithTwoButtonControlTheTargetKeyAimsAndTheScanKeyScans) {
    startWedge("E2E-0001", {.twoButton = true});
    ASSERT_TRUE(session_->focus(Receiver::Foot));
    const size_t before = received(Receiver::Foot);
    holdFunctionKey(4, 200ms);
    ASSERT_TRUE(waitFor([&] { return wedgeErrors().find("sent     AIM_ON") != std::string::npos; }))
        << wedgeErrors();
    holdFunctionKey(3, 400ms);
    ASSERT_EQ(arrived(Receiver::Foot, before, 8), "E2E-0001");
    EXPECT_EQ(arrived(Receiver::Foot, before, 9, 3s), "E2E-0001");
    const std::string trace = wedgeErrors();
    EXPECT_LT(trace.find("sent     AIM_ON"), trace.find("sent     START_DECODE"));
}

// Forced onto XTest, the wedge reads the keys through XWayland, which sees the keyboard only
// while an X window has the focus: a key let go after the focus went to a native window
// never comes up there. The move of the focus is the wedge's cue to read the keys again.
TEST_F(WaylandWedge, AKeyLetGoAfterTheFocusLeftXWaylandStopsScanning) {
    // F5 has no binding: only XWayland sees it.
    startWedge("E2E-0001", {.scanKey = "F5"}, {}, "--input x11");
    ASSERT_TRUE(session_->focus(Receiver::Xterm));
    users_->holdFunctionKey(5, true);
    ASSERT_TRUE(waitFor([&] { return starts() > 0; })) << wedgeErrors();
    ASSERT_TRUE(session_->focus(Receiver::Foot));
    users_->holdFunctionKey(5, false);
    std::this_thread::sleep_for(1s);
    const size_t scans = starts();
    std::this_thread::sleep_for(3s);
    EXPECT_EQ(starts(), scans) << "still scanning";
}

}  // namespace
}  // namespace qm::e2e
