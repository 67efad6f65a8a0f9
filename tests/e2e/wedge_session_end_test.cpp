// quillmark ended by what ends a desktop session: its X server killed, or SIGTERM (a user unit
// stopped), while idle, with Bar Code Setup open and during a scan. Each time it ends with
// status 0, the engine (the simulator on a pseudo-terminal) hears AIM_OFF last, and the
// working profile reads whole.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
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

enum class Ending { ServerKilled, Terminated };
enum class Activity { Idle, SetupOpen, Scanning };

struct Case {
    const char* name;
    Ending ending;
    Activity activity;
};

bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

std::string lastLineWith(const std::string& text, const std::string& word) {
    std::string last;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = text.substr(start, end - start);
        if (line.find(word) != std::string::npos) last = line;
    }
    return last;
}

class SessionEnd : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        QM_SKIP_UNLESS_TOOLS(XtermUnderXvfb::available(), "Xvfb, xterm and xdotool");
        ASSERT_TRUE(x.start());
        const fs::path out = x.scratch() / "engine.out";
        engine_ = startInBackground("sh -c 'exec " + std::string(QM_ENGINE_SIM) + " --trace > " +
                                    quoted(out) + " 2> " + quoted(engineTrace()) + "'");
        ASSERT_TRUE(eventually([&] { return readFile(out).find('\n') != std::string::npos; }, 5s));
        port_ = readFile(out).substr(0, readFile(out).find('\n'));
        ASSERT_TRUE(prepareDeviceRoot(root(), QM_SOURCE_DIR "/resources"));
    }
    void TearDown() override {
        stopProgram(engine_);
        if (fs::exists(x.scratch() / "wedge.pid")) stopProgram(wedgePid());
    }

    // The wedge's own process id and its status, not those of the shell around it.
    void startWedge() {
        startInBackground(x.withDisplay(
            "sh -c '" + std::string(QM_WEDGE) + " --root " + root().string() + " --port " + port_ +
            " 2>" + quoted(x.scratch() / "wedge.err") + " & echo $! > " +
            quoted(x.scratch() / "wedge.pid") + "; wait $!; echo $? > " + quoted(status()) + "'"));
        ASSERT_TRUE(windowShown("^Quillmark 0.1$")) << readFile(x.scratch() / "wedge.err");
    }
    bool windowShown(const std::string& name) {
        return run(x.withDisplay("timeout 20 xdotool search --sync --onlyvisible --name '" + name +
                                 "' >/dev/null 2>&1")) == 0;
    }
    void key(const std::string& keys) { ASSERT_EQ(run(x.withDisplay("xdotool " + keys)), 0); }
    long wedgePid() const { return std::stol(readFile(x.scratch() / "wedge.pid")); }

    fs::path root() const { return x.scratch() / "root"; }
    fs::path status() const { return x.scratch() / "status"; }
    fs::path engineTrace() const { return x.scratch() / "engine.trace"; }

    XtermUnderXvfb x;
    std::string port_;
    long engine_ = 0;
};

TEST_P(SessionEnd, StatusZeroAimOffLastAndTheProfileWhole) {
    const Case& c = GetParam();
    startWedge();
    if (c.activity == Activity::SetupOpen) {
        key("search --onlyvisible --name '^Quillmark 0.1$' windowfocus --sync key Tab space");
        ASSERT_TRUE(windowShown("^Bar Code Setup$"));
    } else if (c.activity == Activity::Scanning) {
        // No bar code before the engine: it aims and decodes for the whole scan time.
        key("keydown F3");
        ASSERT_TRUE(eventually(
            [&] { return readFile(engineTrace()).find("START_DECODE") != std::string::npos; }, 5s));
    }
    if (c.ending == Ending::ServerKilled)
        x.killServer();
    else
        stopProgram(wedgePid());

    ASSERT_TRUE(eventually([&] { return !readFile(status()).empty(); }, 15s))
        << readFile(x.scratch() / "wedge.err");
    EXPECT_EQ(readFile(status()), "0\n") << readFile(x.scratch() / "wedge.err");
    const std::string lastReceived = lastLineWith(readFile(engineTrace()), " received ");
    EXPECT_NE(lastReceived.find("AIM_OFF"), std::string::npos) << lastReceived;
    DeviceRootFileSystem files(root());
    ScanSettings settings;
    CommandArray commands{};
    EXPECT_TRUE(readProfile(files, std::string(kConfigFolder) + "LastUser.cfg", settings, commands,
                            nullptr));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SessionEnd,
    ::testing::Values(Case{"ServerKilledWhileIdle", Ending::ServerKilled, Activity::Idle},
                      Case{"ServerKilledInSetup", Ending::ServerKilled, Activity::SetupOpen},
                      Case{"ServerKilledDuringAScan", Ending::ServerKilled, Activity::Scanning},
                      Case{"TerminatedWhileIdle", Ending::Terminated, Activity::Idle},
                      Case{"TerminatedInSetup", Ending::Terminated, Activity::SetupOpen},
                      Case{"TerminatedDuringAScan", Ending::Terminated, Activity::Scanning}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qm::e2e
