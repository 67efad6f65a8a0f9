// quillmark under Xvfb against the engine simulator behind a link of its own, unplugged and
// plugged back in while it runs: idle, during a scan, and around a setup change. The wedge stays
// up and answers, says the scanner is gone, brings the engine back in line packet for packet
// once it is back (the engine powered up afresh) and types the next decode.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/DeviceRootFileSystem.h"
#include "platform/sim/SimEngine.h"
#include "platform/sim/SimSerialPort.h"
#include "platform/sim/VirtualClock.h"
#include "session/EngineSync.h"
#include "session/LoadSettings.h"
#include "settings/ProfileFile.h"
#include "settings/ProfileFiles.h"
#include "state/ProcessState.h"
#include "tests/RequiredTools.h"
#include "tests/e2e/XtermUnderXvfb.h"

namespace qm::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Packets = std::vector<std::string>;

bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

size_t occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

std::string hexOf(const std::vector<uint8_t>& bytes) {
    std::string hex;
    char digits[4];
    for (uint8_t byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02X ", byte);
        hex += digits;
    }
    if (!hex.empty()) hex.pop_back();
    return hex;
}

// The bytes of every packet the engine simulator's trace says it received, from `offset` on.
Packets receivedIn(const std::string& trace, size_t offset) {
    Packets packets;
    std::istringstream lines(trace.substr(std::min(offset, trace.size())));
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string word, name, byte, hex;
        while (words >> word && word != "received") {
        }
        if (word != "received" || !(words >> name)) continue;
        while (words >> byte && byte.size() == 2) hex += (hex.empty() ? "" : " ") + byte;
        packets.push_back(hex);
    }
    return packets;
}

// What start-up sends, for the profile saved in `root`, to an engine fresh from the factory:
// the simulator's own engine, run in virtual time.
Packets startUpPacketsFor(const fs::path& root) {
    sim::VirtualClock clock;
    sim::SimEngine engine;
    sim::SimSerialPortOpener line(clock, engine);
    DeviceRootFileSystem files(root);
    Platform platform{clock, line, &files};
    ProcessState state(platform);
    EXPECT_EQ(loadSettings(state, ProfileFiles[kLastUserProfile]), 1);
    EXPECT_EQ(state.link.openPort(u"COM3:"), 1);
    initializeEngine(state, nullptr);
    Packets packets;
    for (const auto& packet : engine.received()) packets.push_back(hexOf(packet.bytes));
    return packets;
}

class WedgeReplug : public ::testing::Test {
protected:
    static constexpr const char* kDecode = "E2E-0001";

    void SetUp() override {
        QM_SKIP_UNLESS_TOOLS(XtermUnderXvfb::available(), "Xvfb, xterm and xdotool");
        ASSERT_TRUE(x.start());
    }
    void TearDown() override {
        stopProgram(wedge_);
        stopProgram(engine_);
    }

    // The profile the wedge starts with: both popups on, and `targetTenths` of aiming before
    // each decode.
    void prepareRoot(int targetTenths = 0) {
        ASSERT_TRUE(prepareDeviceRoot(root(), QM_SOURCE_DIR "/resources"));
        DeviceRootFileSystem files(root());
        ScanSettings settings;
        CommandArray commands{};
        ASSERT_TRUE(readProfile(files, profilePath(), settings, commands, nullptr));
        settings.visualOnGoodRead = 1;
        settings.visualOnNoRead = 1;
        settings.targetTimeIndex = targetTenths;
        settings.targetTimeText =
            std::to_string(targetTenths / 10) + "." + std::to_string(targetTenths % 10);
        commands[237] = static_cast<uint8_t>(targetTenths);
        ASSERT_TRUE(writeProfile(files, profilePath(), settings, commands));
    }

    ScanSettings savedSettings() {
        DeviceRootFileSystem files(root());
        ScanSettings settings;
        CommandArray commands{};
        EXPECT_TRUE(readProfile(files, profilePath(), settings, commands, nullptr));
        return settings;
    }

    void startEngine() {
        engine_ =
            startInBackground("sh -c 'exec " + std::string(QM_ENGINE_SIM) + " --link " +
                              quoted(link()) + " --trace --barcode code128:" + kDecode + " > " +
                              quoted(x.scratch() / "engine.out") + " 2> " + quoted(trace()) + "'");
        ASSERT_TRUE(eventually([&] { return fs::is_symlink(link()); }, 5s));
    }

    void startWedge() {
        wedge_ = startInBackground(x.withDisplay(
            "sh -c '" + std::string(QM_WEDGE) + " --root " + quoted(root()) + " --port " +
            quoted(link()) + " 2>" + quoted(wedgeLog()) + "; echo $? > " + quoted(status()) + "'"));
        // The main window comes up once start-up's initialisation is over.
        ASSERT_TRUE(eventually(
            [&] {
                return run(x.withDisplay("xdotool search --onlyvisible --name '^Quillmark 0.1$' "
                                         ">/dev/null 2>&1")) == 0;
            },
            20s))
            << readFile(wedgeLog());
        ASSERT_EQ(run(x.withDisplay("xdotool search --class xterm windowfocus --sync")), 0);
        startUp_ = receivedIn(readFile(trace()), 0);
    }

    int visibleWedgeWindows() {
        FILE* out = popen(
            x.withDisplay("xdotool search --onlyvisible --classname quillmark 2>/dev/null").c_str(),
            "r");
        int count = 0;
        char line[64];
        while (out && std::fgets(line, sizeof line, out)) ++count;
        if (out) pclose(out);
        return count;
    }

    // The engine pulled: the wedge says so, stays up, and its window still takes input.
    void unplug() {
        const size_t said = occurrences(readFile(wedgeLog()), "Scanner disconnected");
        ASSERT_EQ(run("kill -USR1 " + std::to_string(engine_)), 0);
        ASSERT_TRUE(eventually(
            [&] { return occurrences(readFile(wedgeLog()), "Scanner disconnected") > said; }, 5s))
            << readFile(wedgeLog());
        EXPECT_TRUE(readFile(status()).empty());
    }

    // The engine back on a new terminal at the same link: the packets it receives from then on,
    // once they stop coming.
    Packets plugInAndWaitForTheInitialisation() {
        const size_t from = readFile(trace()).size();
        EXPECT_EQ(run("kill -USR2 " + std::to_string(engine_)), 0);
        EXPECT_TRUE(eventually(
            [&] {
                return readFile(wedgeLog()).find("Scanner connected again") != std::string::npos;
            },
            10s))
            << readFile(wedgeLog());
        // Over once nothing more has come for longer than the progress dialog's last 250 ms.
        Packets received;
        auto lastChange = std::chrono::steady_clock::now();
        eventually(
            [&] {
                const Packets now = receivedIn(readFile(trace()), from);
                if (now != received) {
                    received = now;
                    lastChange = std::chrono::steady_clock::now();
                }
                return !received.empty() && std::chrono::steady_clock::now() - lastChange > 500ms;
            },
            15s);
        return received;
    }

    void pressScanKey() {
        ASSERT_EQ(run(x.withDisplay("xdotool keydown F3")), 0);
        std::this_thread::sleep_for(150ms);
        ASSERT_EQ(run(x.withDisplay("xdotool keyup F3")), 0);
    }

    // The popup comes up with the decode and goes 1.5 s later.
    void waitOutTheGoodReadPopup() {
        EXPECT_TRUE(eventually([&] { return visibleWedgeWindows() == 2; }, 2s));
        ASSERT_TRUE(eventually([&] { return visibleWedgeWindows() == 1; }, 5s));
    }

    void keysToTheMainWindow(const std::string& keys) {
        ASSERT_EQ(run(x.withDisplay("xdotool search --onlyvisible --name '^Quillmark 0.1$' "
                                    "windowfocus --sync key --delay 100 " +
                                    keys)),
                  0);
    }

    // "Exit" answers at once and the program ends with 0. The keys reach it from the button
    // with the focus ("Begin Scan" at first).
    void exitAndExpectZero(const std::string& keys = "Tab Tab space") {
        keysToTheMainWindow(keys);
        ASSERT_TRUE(eventually([&] { return !readFile(status()).empty(); }, 5s));
        EXPECT_EQ(readFile(status()), "0\n") << readFile(wedgeLog());
    }

    fs::path root() const { return x.scratch() / "root"; }
    fs::path link() const { return x.scratch() / "engine"; }
    fs::path trace() const { return x.scratch() / "engine.trace"; }
    fs::path wedgeLog() const { return x.scratch() / "wedge.err"; }
    fs::path status() const { return x.scratch() / "status"; }
    std::string profilePath() const { return std::string(kConfigFolder) + "LastUser.cfg"; }

    XtermUnderXvfb x;
    Packets startUp_;
    long engine_ = 0;
    long wedge_ = 0;
};

TEST_F(WedgeReplug, UnpluggedWhileIdleTheEngineComesBackInLineAndScans) {
    prepareRoot();
    startEngine();
    startWedge();
    ASSERT_EQ(startUp_, startUpPacketsFor(root()));
    unplug();
    pressScanKey();  // nothing to scan with: no popup, and nothing reaches the terminal
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(visibleWedgeWindows(), 1);
    EXPECT_EQ(plugInAndWaitForTheInitialisation(), startUp_);
    pressScanKey();
    ASSERT_TRUE(waitForFileSize(x.output(), 8, 10s)) << readFile(wedgeLog());
    EXPECT_EQ(readFile(x.output()), kDecode);
    waitOutTheGoodReadPopup();
    exitAndExpectZero();
}

// With two seconds of aiming before each decode, the engine goes in the middle of a scan.
TEST_F(WedgeReplug, UnpluggedDuringAScanTheCycleEndsWithoutNoReadFeedback) {
    prepareRoot(20);
    startEngine();
    startWedge();
    pressScanKey();
    std::this_thread::sleep_for(500ms);
    unplug();
    // A no-read popup would be up for 1.5 s from now.
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(visibleWedgeWindows(), 1);
        std::this_thread::sleep_for(200ms);
    }
    EXPECT_TRUE(readFile(x.output()).empty());
    EXPECT_EQ(plugInAndWaitForTheInitialisation(), startUp_);
    pressScanKey();
    ASSERT_TRUE(waitForFileSize(x.output(), 8, 10s)) << readFile(wedgeLog());
    EXPECT_EQ(readFile(x.output()), kDecode);
    // The good-read popup does come up: the count above could see one.
    waitOutTheGoodReadPopup();
    exitAndExpectZero();
}

// Bar Code Setup opened, the engine unplugged, "2 Button Control" ticked: the change fails on
// the engine but is saved, and the engine plugged back in is brought in line with it (its aim
// duration no longer sent).
TEST_F(WedgeReplug, ASetupChangeWhileUnpluggedIsSavedAndReachesTheEngineOnceItIsBack) {
    prepareRoot(20);  // two-button control takes the aim duration to 0
    startEngine();
    startWedge();
    keysToTheMainWindow("Tab space");
    ASSERT_TRUE(eventually([&] { return visibleWedgeWindows() == 2; }, 5s));  // Bar Code Setup
    unplug();
    // From "Exit Setup" back to the User page's "2 Button Control", ticked; Return leaves.
    ASSERT_EQ(run(x.withDisplay("xdotool key --delay 100 shift+Tab shift+Tab shift+Tab shift+Tab "
                                "shift+Tab shift+Tab space")),
              0);
    ASSERT_TRUE(eventually([&] { return savedSettings().twoButtonControl == 1; }, 5s));
    ASSERT_EQ(run(x.withDisplay("xdotool key Return")), 0);
    ASSERT_TRUE(eventually([&] { return visibleWedgeWindows() == 1; }, 5s));
    const Packets expected = startUpPacketsFor(root());
    EXPECT_NE(expected, startUp_);
    EXPECT_EQ(plugInAndWaitForTheInitialisation(), expected);
    pressScanKey();
    ASSERT_TRUE(waitForFileSize(x.output(), 8, 10s)) << readFile(wedgeLog());
    EXPECT_EQ(readFile(x.output()), kDecode);
    waitOutTheGoodReadPopup();
    exitAndExpectZero("Tab space");  // from "Bar Code Setup"
}

}  // namespace
}  // namespace qm::e2e
