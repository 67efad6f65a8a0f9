// An engine plugged back in under a running quillmark: from the moment the engine simulator's
// terminal reappears at the wedge's port to the first decode typed into a terminal (the scan key
// held throughout), beside start-up's engine initialisation alone (with its 250 ms before the
// progress dialog closes) over a second simulator's terminal in the same run, each engine
// powered up afresh before every round, and beside what the protocol itself demands of that
// step (the same initialisation in virtual time). Starts its own Xvfb: bench-replug [rounds] (5)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "bench/common/Samples.h"
#include "platform/linux/DeviceRootFileSystem.h"
#include "platform/linux/LinuxSerialPortOpener.h"
#include "platform/linux/RealClock.h"
#include "platform/sim/SimEngine.h"
#include "platform/sim/SimSerialPort.h"
#include "platform/sim/VirtualClock.h"
#include "session/LoadSettings.h"
#include "session/ProgressReporter.h"
#include "session/StartUp.h"
#include "state/ProcessState.h"
#include "tests/e2e/XtermUnderXvfb.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using qm::bench::msSince;
using qm::e2e::quoted;
using qm::e2e::readFile;
using qm::e2e::run;

constexpr const char* kDecode = "BENCH-REPLUG";

bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (!condition()) {
        if (Clock::now() > end) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

[[noreturn]] void fail(const std::string& why) {
    std::fprintf(stderr, "bench-replug: %s\n", why.c_str());
    std::exit(1);
}

size_t occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// An engine simulator keeping a link at `link`, unplugged and plugged in by signals.
class Engine {
public:
    Engine(const fs::path& scratch, const std::string& name) : link_(scratch / name) {
        pid_ = qm::e2e::startInBackground("sh -c 'exec " + std::string(QM_ENGINE_SIM) + " --link " +
                                          quoted(link_) + " --barcode code128:" + kDecode + "'");
        if (!eventually([&] { return fs::is_symlink(link_); }, 5s)) fail("no engine simulator");
    }
    ~Engine() { qm::e2e::stopProgram(pid_); }

    void unplug() {
        signal("USR1");
        if (!eventually([&] { return !fs::is_symlink(link_); }, 5s)) fail("no unplug");
    }
    void plugIn() { signal("USR2"); }
    void powerCycle() {
        unplug();
        plugIn();
        if (!eventually([&] { return fs::is_symlink(link_); }, 5s)) fail("no plug-in");
    }
    const fs::path& link() const { return link_; }

private:
    void signal(const char* name) {
        run("kill -" + std::string(name) + " " + std::to_string(pid_));
    }

    fs::path link_;
    long pid_ = 0;
};

class NoDialogs : public qm::ProgressDialogFactory {
    std::unique_ptr<qm::ProgressReporter> createProgressDialog() override { return nullptr; }
};

// Start-up's initialisation step, on the wedge's own profile, over `serial` on `clock`.
int64_t initialisationMicros(const fs::path& root, qm::Clock& clock, qm::SerialPortOpener& serial) {
    qm::DeviceRootFileSystem files(root);
    qm::Platform platform{clock, serial, &files};
    qm::ProcessState state(platform);
    if (!qm::loadSettings(state, "LastUser.cfg") || !state.link.openPort(u"COM3:"))
        fail("cannot open an engine");
    NoDialogs none;
    const int64_t start = clock.nowMicros();
    qm::initializeEngineWithProgress(state, none);
    return clock.nowMicros() - start;
}

// The same against the simulated engine in virtual time: the protocol's pauses, the wire and
// the engine's answers alone.
double describedInitialisationMs(const fs::path& root) {
    qm::sim::VirtualClock clock;
    qm::sim::SimEngine engine;
    qm::sim::SimSerialPortOpener serial(clock, engine);
    return double(initialisationMicros(root, clock, serial)) / 1000.0;
}

double initialisationAloneMs(const fs::path& root, Engine& engine) {
    engine.powerCycle();
    qm::linux_platform::RealClock clock;
    auto serial = qm::linux_platform::LinuxSerialPortOpener::forDevicePath(engine.link().string());
    return double(initialisationMicros(root, clock, serial)) / 1000.0;
}

// The wedge's engine unplugged, then, with the scan key held, plugged back in: until the decode
// has reached the terminal.
double replugToDecodeMs(qm::e2e::XtermUnderXvfb& x, Engine& engine, const fs::path& log) {
    const size_t gone = occurrences(readFile(log), "Scanner disconnected");
    engine.unplug();
    if (!eventually([&] { return occurrences(readFile(log), "Scanner disconnected") > gone; }, 5s))
        fail("the wedge did not see the engine go");
    const size_t typed = readFile(x.output()).size();
    run(x.withDisplay("xdotool keydown F3"));
    std::this_thread::sleep_for(100ms);
    const auto start = Clock::now();
    engine.plugIn();
    if (!qm::e2e::waitForFileSize(x.output(), typed + std::string(kDecode).size(), 20s))
        fail("no decode after the plug-in");
    const double ms = msSince(start);
    run(x.withDisplay("xdotool keyup F3"));
    std::this_thread::sleep_for(2s);  // any repeat scan and its feedback are over
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 5;
    if (!qm::e2e::XtermUnderXvfb::available()) fail("needs Xvfb, xterm and xdotool");
    qm::e2e::XtermUnderXvfb x;
    if (!x.start()) fail("Xvfb did not start");
    const fs::path root = x.scratch() / "root";
    if (!qm::prepareDeviceRoot(root, fs::path(QM_SOURCE_DIR) / "resources")) fail("no root");
    Engine wedgeEngine(x.scratch(), "engine");
    Engine loneEngine(x.scratch(), "lone-engine");
    const fs::path log = x.scratch() / "wedge.err";
    const long wedge = qm::e2e::startInBackground(
        x.withDisplay("sh -c 'exec " + std::string(QM_WEDGE) + " --root " + quoted(root) +
                      " --port " + quoted(wedgeEngine.link()) + " 2>" + quoted(log) + "'"));
    if (!eventually(
            [&] {
                return run(x.withDisplay("xdotool search --onlyvisible --name '^Quillmark 0.1$' "
                                         ">/dev/null 2>&1")) == 0;
            },
            20s))
        fail("the wedge did not start");
    run(x.withDisplay("xdotool search --class xterm windowfocus --sync >/dev/null 2>&1"));

    qm::bench::Samples alone, replug, excess;
    for (int i = 0; i < rounds; ++i) {
        const double a = initialisationAloneMs(root, loneEngine);
        const double r = replugToDecodeMs(x, wedgeEngine, log);
        alone.add(a);
        replug.add(r);
        excess.add(r - a);
    }
    qm::e2e::stopProgram(wedge);
    std::printf(
        "the protocol's initialisation    %8.1f ms (virtual time, 250 ms linger included)\n",
        describedInitialisationMs(root));
    std::printf("start-up's initialisation alone  median %8.1f ms  max %8.1f ms (%d rounds)\n",
                alone.percentile(0.5), alone.percentile(1), rounds);
    std::printf("plug-in to the first decode typed median %8.1f ms  max %8.1f ms\n",
                replug.percentile(0.5), replug.percentile(1));
    std::printf("beyond the initialisation        median %8.1f ms  max %8.1f ms (target <= 1000)\n",
                excess.percentile(0.5), excess.percentile(1));
    return 0;
}
