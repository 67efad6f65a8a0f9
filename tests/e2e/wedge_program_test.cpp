// quillmark itself under Xvfb against the engine simulator on a pseudo-terminal: the scan key
// pressed as a real key event, the decode typed into an xterm with the popups on, then "Exit".
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/linux/DeviceRootFileSystem.h"
#include "settings/ProfileFile.h"
#include "settings/ProfileFiles.h"
#include "tests/RequiredTools.h"
#include "tests/e2e/XtermUnderXvfb.h"

namespace qm::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

class WedgeProgram : public ::testing::Test {
protected:
    void SetUp() override {
        QM_SKIP_UNLESS_TOOLS(XtermUnderXvfb::available(), "Xvfb, xterm and xdotool");
        ASSERT_TRUE(x.start());
        startEngine();
        prepareRootWithPopups();
    }
    void TearDown() override {
        stopProgram(wedge_);
        stopProgram(engine_);
    }

    void startEngine() {
        const fs::path out = x.scratch() / "engine.out";
        engine_ = startInBackground("sh -c 'exec " + std::string(QM_ENGINE_SIM) +
                                    " --barcode code128:E2E-0001 > " + quoted(out) + "'");
        ASSERT_TRUE(eventually([&] { return readFile(out).find('\n') != std::string::npos; }, 5s));
        const std::string first = readFile(out);
        port_ = first.substr(0, first.find('\n'));
    }

    void prepareRootWithPopups() {
        ASSERT_TRUE(prepareDeviceRoot(root(), QM_SOURCE_DIR "/resources"));
        DeviceRootFileSystem files(root());
        ScanSettings settings;
        CommandArray commands{};
        const std::string path = std::string(kConfigFolder) + "LastUser.cfg";
        ASSERT_TRUE(readProfile(files, path, settings, commands, nullptr));
        settings.visualOnGoodRead = 1;
        settings.visualOnNoRead = 1;
        ASSERT_TRUE(writeProfile(files, path, settings, commands));
    }

    void startWedge() {
        // The packet trace switched on by Qt's logging rules, as a desktop session would.
        wedge_ = startInBackground(x.withDisplay(
            "QT_LOGGING_RULES=quillmark.packets.debug=true sh -c '" + std::string(QM_WEDGE) +
            " --root " + root().string() + " --port " + port_ + " 2>" +
            quoted(x.scratch() / "wedge.err") + "; echo $? > " + quoted(status()) + "'"));
        ASSERT_TRUE(eventually(
            [&] {
                return run(x.withDisplay("xdotool search --onlyvisible --name '^Quillmark 0.1$' "
                                         ">/dev/null 2>&1")) == 0;
            },
            20s))
            << readFile(x.scratch() / "wedge.err");
        // The focus stays where it was: in the terminal.
        ASSERT_EQ(run(x.withDisplay("xdotool search --class xterm windowfocus --sync")), 0);
    }

    // How often the packet trace shows `line`.
    size_t traced(const std::string& line) const {
        const std::string errors = readFile(x.scratch() / "wedge.err");
        size_t count = 0;
        for (size_t at = errors.find(line); at != std::string::npos; at = errors.find(line, at + 1))
            ++count;
        return count;
    }

    // Held until the wedge has begun a scan, so that no poll can miss the press.
    void pressScanKey() {
        const size_t before = traced(kStartDecodeSent);
        ASSERT_EQ(run(x.withDisplay("xdotool keydown F3")), 0);
        const bool started = eventually([&] { return traced(kStartDecodeSent) > before; }, 10s);
        ASSERT_EQ(run(x.withDisplay("xdotool keyup F3")), 0);
        ASSERT_TRUE(started) << readFile(x.scratch() / "wedge.err");
    }

    // Until `cycles` scan cycles have ended: each ends on its AIM_OFF, its popup gone.
    void awaitCyclesEnded(size_t cycles) {
        ASSERT_TRUE(eventually([&] { return traced(kAimOffSent) >= cycles; }, 10s))
            << readFile(x.scratch() / "wedge.err");
    }

    void clickExit() {
        ASSERT_EQ(run(x.withDisplay("xdotool search --onlyvisible --name '^Quillmark 0.1$' "
                                    "windowfocus --sync key Tab Tab space")),
                  0);
    }

    static constexpr const char* kStartDecodeSent = "sent     START_DECODE";
    static constexpr const char* kAimOffSent = "sent     AIM_OFF";

    fs::path root() const { return x.scratch() / "root"; }
    fs::path status() const { return x.scratch() / "status"; }

    XtermUnderXvfb x;
    std::string port_;
    long engine_ = 0;
    long wedge_ = 0;
};

TEST_F(WedgeProgram, TwoScansLandInTheFocusedTerminalAndExitEndsTheProgram) {
    startWedge();
    pressScanKey();
    ASSERT_TRUE(waitForFileSize(x.output(), 8, 10s)) << readFile(x.scratch() / "wedge.err");
    awaitCyclesEnded(1);
    pressScanKey();
    ASSERT_TRUE(waitForFileSize(x.output(), 16, 10s));
    // The grabbed scan key never reached the terminal: only the two decodes did.
    EXPECT_EQ(readFile(x.output()), "E2E-0001E2E-0001");
    const std::string errors = readFile(x.scratch() / "wedge.err");
    for (const char* traced : {"sent     START_DECODE     04 E4 04 00 FF 14\n",
                               "received DECODE_DATA      0D F3 00 00 03 45 32 45 2D 30 30 30 31",
                               "receivePacket status 0: success\n"}) {
        EXPECT_NE(errors.find(traced), std::string::npos) << traced << " not in\n" << errors;
    }

    awaitCyclesEnded(2);
    clickExit();
    ASSERT_TRUE(eventually([&] { return !readFile(status()).empty(); }, 5s));
    EXPECT_EQ(readFile(status()), "0\n") << readFile(x.scratch() / "wedge.err");
}

}  // namespace
}  // namespace qm::e2e
