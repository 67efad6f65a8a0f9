// What watching the trigger keys costs while nobody presses one: the scanning thread itself
// (scanning enabled, two key queries and three 1 ms sleeps a poll, on the X key-state
// backend) beside a bare loop of the same sleeps, and what the X server spends meanwhile.
// Run by hand: bench-key-state-idle [seconds]

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "platform/Platform.h"
#include "platform/linux/RealClock.h"
#include "platform/linux/X11KeyState.h"
#include "platform/sim/SimEngine.h"
#include "platform/sim/SimSerialPort.h"
#include "state/ProcessState.h"
#include "tests/e2e/XtermUnderXvfb.h"
#include "wedge/ScanWedgeThread.h"

namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double processCpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

long clockTicksPerSecond() {
    FILE* out = popen("getconf CLK_TCK", "r");
    long ticks = 0;
    if (out) {
        if (std::fscanf(out, "%ld", &ticks) != 1) ticks = 0;
        pclose(out);
    }
    return ticks > 0 ? ticks : 100;
}

// User and system time of every thread of a process, from its stat line; -1 if gone.
double processCpuSeconds(long pid, long ticksPerSecond) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return -1;
    // The command name may hold blanks; the fields after it are plain.
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string skipped;
    for (int field = 3; field < 14; ++field) fields >> skipped;
    long user = 0, system = 0;
    fields >> user >> system;
    return static_cast<double>(user + system) / static_cast<double>(ticksPerSecond);
}

struct Run {
    double cpuSeconds = 0;
    long polls = 0;
};

// One poll of the wedge: a sleep, the target key, a sleep, the scan key, a sleep.
template <typename Query>
Run pollUntil(steady_clock::time_point end, Query query) {
    Run run;
    const double start = threadCpuSeconds();
    while (steady_clock::now() < end) {
        std::this_thread::sleep_for(milliseconds(1));
        query(0xEC);
        std::this_thread::sleep_for(milliseconds(1));
        query(0xEB);
        std::this_thread::sleep_for(milliseconds(1));
        ++run.polls;
    }
    run.cpuSeconds = threadCpuSeconds() - start;
    return run;
}

double percentOfCore(double cpuSeconds, double seconds) { return 100.0 * cpuSeconds / seconds; }

// The real key state, counting the wedge's queries so its polls can be told.
class CountingKeyState : public qm::KeyState {
public:
    explicit CountingKeyState(qm::KeyState& keys) : keys_(keys) {}
    uint16_t asyncKeyState(uint8_t virtualKey) override {
        ++queries;
        return keys_.asyncKeyState(virtualKey);
    }
    std::atomic<long> queries{0};

private:
    qm::KeyState& keys_;
};

// The scanning thread itself, idle: scanning enabled, two-button control, no key down.
Run runWedgeUntil(steady_clock::time_point end, qm::KeyState& x11Keys) {
    qm::linux_platform::RealClock clock;
    qm::sim::SimEngine engine;
    qm::sim::SimSerialPortOpener opener(clock, engine);
    CountingKeyState keys(x11Keys);
    qm::Platform platform{clock, opener, nullptr, nullptr, &keys, nullptr, nullptr};
    qm::ProcessState state(platform);
    state.link.openPort(u"COM3:");
    state.link.scanKey = 0xEB;
    state.link.targetKey = 0xEC;
    state.link.twoButtonMode = 1;
    state.ScanningEnabled = 1;
    std::thread stopper([&] {
        std::this_thread::sleep_until(end);
        state.link.stopRequested = 1;
    });
    Run run;
    const double start = threadCpuSeconds();
    qm::scanWedgeThreadProc(state);
    run.cpuSeconds = threadCpuSeconds() - start;
    run.polls = keys.queries / 2;
    stopper.join();
    return run;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 30;
    if (seconds <= 0 || !qm::e2e::programAvailable("Xvfb")) {
        std::puts("usage: bench-key-state-idle [seconds]; needs Xvfb");
        return 2;
    }
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

    const long ticks = clockTicksPerSecond();
    const double serverStart = processCpuSeconds(server, ticks);
    const double processStart = processCpuSeconds();
    const auto started = steady_clock::now();
    const auto end = started + std::chrono::seconds(seconds);
    Run polling, bare;
    volatile uint16_t sink = 0;
    (void)sink;
    std::thread pollingThread([&] { polling = runWedgeUntil(end, *keys); });
    std::thread bareThread([&] { bare = pollUntil(end, [](uint8_t) {}); });
    pollingThread.join();
    bareThread.join();
    const double elapsed = std::chrono::duration<double>(steady_clock::now() - started).count();
    const double serverCpu = processCpuSeconds(server, ticks) - serverStart;
    const double listenerCpu =
        processCpuSeconds() - processStart - polling.cpuSeconds - bare.cpuSeconds;
    keys.reset();
    qm::e2e::stopProgram(server);

    std::printf("%.1f s on %s, percent of one core:\n", elapsed, display.c_str());
    std::printf("  wedge thread  %6.3f %%  (%ld polls, %.2f ms each)\n",
                percentOfCore(polling.cpuSeconds, elapsed), polling.polls,
                1000.0 * elapsed / static_cast<double>(polling.polls));
    std::printf("  bare loop     %6.3f %%  (%ld polls)\n", percentOfCore(bare.cpuSeconds, elapsed),
                bare.polls);
    std::printf("  ratio         %6.3f    (target: within 1.1)\n",
                polling.cpuSeconds / bare.cpuSeconds);
    std::printf("  rest of us    %6.3f %%  (the key listener thread and main, by difference)\n",
                percentOfCore(listenerCpu, elapsed));
    std::printf("  X server      %6.3f %%  (target: under 0.1; one clock tick is %.3f %%)\n",
                percentOfCore(serverCpu, elapsed), percentOfCore(1.0 / ticks, elapsed));
    return 0;
}
