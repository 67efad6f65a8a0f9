// What watching the trigger keys costs while nobody presses one, and how soon a press is
// answered. On a private Xvfb, with the X key-state backend and the simulated engine:
//   1. the scanning thread idle (scanning enabled, two-button control) beside the GUI queue
//      in an event loop: wake-ups per second of each, and of the whole process, from the
//      context switches in /proc/self/task, and the CPU of the whole process;
//   2. a bare loop of three 1 ms sleeps, the polling cadence the thread was described with;
//   3. the scan key pressed through XTest, to START_DECODE's last byte at the engine;
//   4. the same press as a PressScanKey call on a private session bus, with the wedge's
//      control interface served by the event loop and the X key state still watched beside
//      the remote keys, as the wedge runs them.
// Run by hand: bench-key-state-idle [seconds per phase] [presses]

#include <sys/syscall.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "F3Key.h"
#include "apps/desktop/BusNames.h"
#include "apps/desktop/WedgeControl.h"
#include "apps/wedge_common/DesktopInput.h"
#include "engine/Packets.h"
#include "platform/Platform.h"
#include "platform/linux/RealClock.h"
#include "platform/linux/X11KeyState.h"
#include "platform/sim/SimEngine.h"
#include "platform/sim/SimSerialPort.h"
#include "session/ApplySettingsToLink.h"
#include "state/ProcessState.h"
#include "tests/e2e/XtermUnderXvfb.h"
#include "ui/GuiQueue.h"
#include "wedge/ScanWedgeThread.h"

namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

constexpr uint8_t kScanKey = 0xEB;    // F3
constexpr uint8_t kTargetKey = 0xEC;  // F4
// START_DECODE's own time on the line: the wake's 10 ms and six bytes at 9600 baud.
constexpr double kProtocolMs = 10.0 + 6 * qm::sim::SimEngine::kByteMicros / 1000.0;

long threadId() { return static_cast<long>(syscall(SYS_gettid)); }

double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Voluntary and involuntary context switches of one thread: each is a wake-up.
long switchesOf(const std::filesystem::path& status) {
    std::ifstream in(status);
    long total = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.find("ctxt_switches:") == std::string::npos) continue;
        total += std::atol(line.substr(line.find(':') + 1).c_str());
    }
    return total;
}

struct Snapshot {
    steady_clock::time_point at;
    double cpuSeconds = 0;
    std::map<long, long> switches;  // by thread id
};

Snapshot snapshot() {
    Snapshot s{steady_clock::now(), processCpuSeconds(), {}};
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task"))
        s.switches[std::stol(task.path().filename().string())] = switchesOf(task.path() / "status");
    return s;
}

struct Phase {
    double seconds = 0;
    double cpuPercent = 0;
    std::map<long, double> perSecond;  // wake-ups per second by thread id
    double processPerSecond = 0;
};

// Threads that began or ended within the phase count from zero.
Phase between(const Snapshot& a, const Snapshot& b) {
    Phase phase;
    phase.seconds = std::chrono::duration<double>(b.at - a.at).count();
    phase.cpuPercent = 100.0 * (b.cpuSeconds - a.cpuSeconds) / phase.seconds;
    for (const auto& [tid, count] : b.switches) {
        const auto before = a.switches.find(tid);
        const long woke = count - (before == a.switches.end() ? 0 : before->second);
        phase.perSecond[tid] = woke / phase.seconds;
        phase.processPerSecond += woke / phase.seconds;
    }
    return phase;
}

// The wedge on the simulated engine and the X key state, scanning enabled.
struct Wedge {
    explicit Wedge(qm::KeyState& keys)
        : either({&keys, &remote}),
          platform{clock, opener, nullptr, nullptr, &either, nullptr, nullptr},
          state(platform) {
        engine.setParameter(237, 0);  // decodes without aiming first
        engine.placeBarcode({qm::sim::Symbology::Code128, "bench"});
        state.link.openPort(u"COM3:");
        state.scanSettings.scanKeyName = "F3";    // kScanKey
        state.scanSettings.targetKeyName = "F4";  // kTargetKey
        state.scanSettings.twoButtonControl = 1;
        state.scanSettings.scanTimeIndex = 5;
        qm::applySettingsToLink(state);
        state.ScanningEnabled = 1;
    }

    size_t count(uint8_t opcode) {
        size_t n = 0;
        for (const auto& packet : engine.received()) n += packet.bytes[1] == opcode ? 1 : 0;
        return n;
    }

    qm::linux_platform::RealClock clock;
    qm::sim::SimEngine engine;
    qm::sim::SimSerialPortOpener opener{clock, engine};
    qm::RemoteTriggerKeys remote{clock, [this] { return qm::triggerKeysOf(state); }};
    qm::app::EitherKeyState either;
    qm::Platform platform;
    qm::ProcessState state;
};

Phase idleWedgeBesideGuiQueue(QCoreApplication& app, qm::KeyState& keys, int seconds,
                              long& wedgeThread) {
    Wedge wedge(keys);
    qm::ui::GuiQueue queue;
    std::atomic<long> tid{0};
    std::thread thread([&] {
        tid = threadId();
        qm::scanWedgeThreadProc(wedge.state);
    });
    std::this_thread::sleep_for(milliseconds(300));  // past its start
    wedgeThread = tid;
    const Snapshot a = snapshot();
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    QCoreApplication::exec();
    const Snapshot b = snapshot();
    wedge.state.link.stopRequested = 1;
    thread.join();
    return between(a, b);
}

Phase bareLoop(int seconds, long& loopThread) {
    std::atomic<long> tid{0};
    std::atomic<bool> measuring{true};
    std::thread loop([&] {
        tid = threadId();
        while (measuring) {
            for (int i = 0; i < 3; ++i) std::this_thread::sleep_for(milliseconds(1));
        }
    });
    std::this_thread::sleep_for(milliseconds(300));
    loopThread = tid;
    const Snapshot a = snapshot();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const Snapshot b = snapshot();
    measuring = false;
    loop.join();
    return between(a, b);
}

// Milliseconds from each press to START_DECODE's last byte at the engine; `press` returns once
// its press or release is made.
std::vector<double> pressToStartDecode(Wedge& wedge, const std::function<void(bool)>& press,
                                       int presses) {
    std::vector<double> latencies;
    qm::startWedgeThread(wedge.state);
    std::this_thread::sleep_for(milliseconds(300));
    for (int i = 0; i < presses; ++i) {
        const size_t starts = wedge.count(qm::START_DECODE[1]);
        const size_t aimOffs = wedge.count(qm::AIM_OFF[1]);
        const int64_t pressed = wedge.clock.nowMicros();
        press(true);
        const auto limit = steady_clock::now() + std::chrono::seconds(2);
        while (wedge.count(qm::START_DECODE[1]) == starts && steady_clock::now() < limit)
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        press(false);
        for (const auto& packet : wedge.engine.received())
            if (packet.bytes[1] == qm::START_DECODE[1] && packet.timeMicros >= pressed)
                latencies.push_back((packet.timeMicros - pressed) / 1000.0);
        while (wedge.count(qm::AIM_OFF[1]) == aimOffs &&
               steady_clock::now() < limit + milliseconds(2000))
            std::this_thread::sleep_for(milliseconds(1));
        std::this_thread::sleep_for(milliseconds(400));  // past the pause after a scan
    }
    wedge.state.link.closePort();
    return latencies;
}

std::vector<double> xtestPressToStartDecode(const std::string& display, qm::KeyState& keys,
                                            int presses) {
    const auto f3 = F3Key::open(display);
    if (!f3) return {};
    Wedge wedge(keys);
    return pressToStartDecode(
        wedge, [&](bool down) { f3->press(down); }, presses);
}

// The control interface served on this thread's event loop, called from another thread.
std::vector<double> busPressToStartDecode(const QString& busAddress, qm::KeyState& keys,
                                          int presses) {
    Wedge wedge(keys);
    qm::desktop::WedgeControlService control(
        QDBusConnection::connectToBus(busAddress, "wedge"), qm::desktop::kWedgeSimService,
        wedge.remote, [&wedge] { return qm::desktop::wedgeStatusOf(wedge.state); });
    if (!control.isActive()) return {};
    std::vector<double> latencies;
    std::thread caller([&] {
        QDBusConnection bus = QDBusConnection::connectToBus(busAddress, "caller");
        latencies = pressToStartDecode(
            wedge,
            [&bus](bool down) {
                bus.call(QDBusMessage::createMethodCall(
                    qm::desktop::kWedgeSimService, qm::desktop::kWedgePath,
                    qm::desktop::kWedgeInterface, down ? "PressScanKey" : "ReleaseScanKey"));
            },
            presses);
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    QCoreApplication::exec();
    caller.join();
    QDBusConnection::disconnectFromBus("caller");
    QDBusConnection::disconnectFromBus("wedge");
    return latencies;
}

// A session bus of the benchmark's own; its address, empty without dbus-daemon.
QString startPrivateBus(const std::filesystem::path& addressFile, long& daemon) {
    daemon =
        qm::e2e::startInBackground("sh -c 'exec dbus-daemon --session --nofork --print-address > " +
                                   addressFile.string() + "'");
    if (!qm::e2e::waitForFileSize(addressFile, 10, std::chrono::seconds(5))) return {};
    std::string address = qm::e2e::readFile(addressFile);
    return QString::fromStdString(address.substr(0, address.find('\n')));
}

double percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(p * static_cast<double>(values.size() - 1))];
}

void printPhase(const char* title, const Phase& phase, long mainThread, long ownThread,
                const char* ownName) {
    const auto rate = [&phase](long tid) {
        const auto it = phase.perSecond.find(tid);
        return it == phase.perSecond.end() ? 0.0 : it->second;
    };
    std::printf("%s\n", title);
    std::printf("  %-24s %10.1f\n", ownName, rate(ownThread));
    std::printf("  %-24s %10.1f\n", "main (GUI) thread", rate(mainThread));
    std::printf("  %-24s %10.1f %12.3f\n", "whole process", phase.processPerSecond,
                phase.cpuPercent);
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    const int presses = argc > 2 ? std::atoi(argv[2]) : 30;
    if (seconds <= 0 || presses <= 0 || !qm::e2e::programAvailable("Xvfb")) {
        std::puts("usage: bench-key-state-idle [seconds per phase] [presses]; needs Xvfb");
        return 2;
    }
    QCoreApplication app(argc, argv);
    qm::test::TempFolder scratch{"qm-bench"};
    const auto numberFile = scratch.path() / "display";
    const long server = qm::e2e::startInBackground("Xvfb -displayfd 3 -noreset -nolisten tcp 3>" +
                                                   qm::e2e::quoted(numberFile));
    if (!qm::e2e::waitForFileSize(numberFile, 2, std::chrono::seconds(10))) {
        qm::e2e::stopProgram(server);
        std::puts("Xvfb did not start");
        return 1;
    }
    const std::string display = ":" + std::to_string(std::stoi(qm::e2e::readFile(numberFile)));
    auto keys = qm::linux_platform::X11KeyState::open(display.c_str());
    if (!keys) {
        qm::e2e::stopProgram(server);
        std::puts("no XInput2 on the server");
        return 1;
    }

    const long mainThread = threadId();
    long wedgeThread = 0;
    long loopThread = 0;
    const Phase idle = idleWedgeBesideGuiQueue(app, *keys, seconds, wedgeThread);
    const Phase bare = bareLoop(seconds, loopThread);
    const std::vector<double> latencies = xtestPressToStartDecode(display, *keys, presses);
    long busDaemon = 0;
    const QString busAddress = startPrivateBus(scratch.path() / "bus", busDaemon);
    const std::vector<double> busLatencies =
        busAddress.isEmpty() ? std::vector<double>{}
                             : busPressToStartDecode(busAddress, *keys, presses);
    qm::e2e::stopProgram(busDaemon);
    keys.reset();
    qm::e2e::stopProgram(server);

    std::printf("%d s a phase on %s          wake-ups/s   CPU %% of a core\n", seconds,
                display.c_str());
    printPhase("scanning thread idle, GUI queue in its event loop", idle, mainThread, wedgeThread,
               "scanning thread");
    printPhase("bare loop of three 1 ms sleeps", bare, mainThread, loopThread, "loop thread");
    std::printf("  (targets idle: at most 10 wake-ups a second, under 0.1 %% of a core)\n");
    std::printf("scan key (XTest) to START_DECODE at the engine, %zu presses:\n", latencies.size());
    std::printf("  median %.2f ms, p90 %.2f ms, min %.2f ms, max %.2f ms\n",
                percentile(latencies, 0.5), percentile(latencies, 0.9), percentile(latencies, 0.0),
                percentile(latencies, 1.0));
    std::printf("  of which the protocol's own %.2f ms: the wake and six bytes on the wire\n",
                kProtocolMs);
    std::printf("PressScanKey on the session bus to START_DECODE at the engine, %zu presses:\n",
                busLatencies.size());
    std::printf("  median %.2f ms, p90 %.2f ms, min %.2f ms, max %.2f ms\n",
                percentile(busLatencies, 0.5), percentile(busLatencies, 0.9),
                percentile(busLatencies, 0.0), percentile(busLatencies, 1.0));
    const double target = 1.1 * percentile(latencies, 0.5) + 2.0;
    std::printf("  target: median at most 1.1 x the XTest median + 2 ms = %.2f ms: %s\n", target,
                percentile(busLatencies, 0.5) <= target ? "met" : "NOT met");
    return 0;
}
