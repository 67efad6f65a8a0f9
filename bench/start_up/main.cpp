// quillmark-sim's start-up, from exec to the main dialog on the screen, against the sum of the
// protocol's own time for the engine initialisation (the same engine, in virtual time) and
// the time a bare Qt Widgets program takes to show one window; and the peak memory of the two
// programs idle. Both programs run side by side in this run, alternately. Needs a display
// (run it under xvfb-run).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bench/common/ProtocolRatio.h"
#include "platform/linux/DeviceRootFileSystem.h"
#include "platform/sim/SimEngine.h"
#include "platform/sim/SimSerialPort.h"
#include "platform/sim/VirtualClock.h"
#include "session/EngineSync.h"
#include "session/LoadSettings.h"
#include "session/ProgressReporter.h"
#include "settings/ProfileFiles.h"
#include "state/ProcessState.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kRuns = 5;

struct Run {
    double shownMs = 0;
    long peakKiB = 0;
    std::string repaint;
};

// Starts the program and reads its report: "shown", an optional repaint line, "peak N kB".
Run runProgram(const std::string& commandLine) {
    Run run;
    const auto begin = Clock::now();
    FILE* out = popen(("exec " + commandLine + " 2>/dev/null").c_str(), "r");
    if (!out) std::exit(1);
    char line[256];
    while (std::fgets(line, sizeof line, out)) {
        const std::string text = line;
        if (text.rfind("shown", 0) == 0)
            run.shownMs = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
        else if (text.rfind("repaint", 0) == 0)
            run.repaint = text.substr(0, text.size() - 1);
        else if (text.rfind("peak", 0) == 0)
            run.peakKiB = std::atol(text.c_str() + 5);
    }
    if (pclose(out) != 0 || run.shownMs == 0) {
        std::fprintf(stderr, "%s did not start\n", commandLine.c_str());
        std::exit(1);
    }
    return run;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The initialisation quillmark-sim runs, in virtual time: only the protocol's pauses, the
// wire and the engine's replies pass.
double demandedInitialisationMs(const fs::path& root) {
    qm::sim::VirtualClock clock;
    qm::DeviceRootFileSystem files(root);
    qm::sim::SimEngine engine;
    qm::sim::SimSerialPortOpener opener(clock, engine);
    qm::Platform platform{clock, opener, &files};
    qm::ProcessState state(platform);
    if (!qm::loadSettings(state, qm::ProfileFiles[qm::kLastUserProfile]) ||
        !state.link.openPort(u"COM3:"))
        std::exit(1);
    const int64_t begin = clock.nowMicros();
    qm::initializeEngine(state, nullptr);
    return double(clock.nowMicros() - begin) / 1000.0;
}

}  // namespace

int main() {
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "needs a display: xvfb-run -a %s\n", "bench-start-up");
        return 1;
    }
    std::random_device random;
    const fs::path root =
        fs::temp_directory_path() / ("qm-bench-start-" + std::to_string(random()));
    qm::prepareDeviceRoot(root, fs::path(QM_SOURCE_DIR) / "resources");
    const double protocolMs = demandedInitialisationMs(root);

    std::vector<double> bare, wedge;
    long bareKiB = 0, wedgeKiB = 0;
    std::string repaint;
    for (int i = 0; i < kRuns; ++i) {
        const Run b = runProgram(QM_BARE_WINDOW);
        const Run w =
            runProgram(std::string(QM_WEDGE_SIM) + " --bench-start-up --root " + root.string());
        bare.push_back(b.shownMs);
        wedge.push_back(w.shownMs);
        bareKiB = std::max(bareKiB, b.peakKiB);
        wedgeKiB = std::max(wedgeKiB, w.peakKiB);
        repaint = w.repaint;
    }
    const double bareMs = median(bare), wedgeMs = median(wedge);
    std::printf("protocol's initialisation %8.1f ms (virtual time)\n", protocolMs);
    std::printf("bare Qt window shown      %8.1f ms (median of %d)\n", bareMs, kRuns);
    std::printf("quillmark-sim shown       %8.1f ms (median of %d)\n", wedgeMs, kRuns);
    std::printf("start-up ratio            %.4f  wedge / (protocol + bare) (target <= 1.05)\n",
                wedgeMs / (protocolMs + bareMs));
    std::printf(
        "  with the described 250 ms before the progress dialog closes in the reference: "
        "%.4f\n",
        wedgeMs / (protocolMs + double(qm::ProgressReporter::kLingerMs) + bareMs));
    std::printf(
        "peak resident             wedge %ld kB, bare %ld kB, ratio %.3f (target <= 1.25)\n",
        wedgeKiB, bareKiB, double(wedgeKiB) / double(bareKiB));
    std::printf("progress dialog: longest %s\n", repaint.c_str());
    std::error_code ignored;
    fs::remove_all(root, ignored);
    return 0;
}
