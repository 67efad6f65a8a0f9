// A faulty-line soak in virtual time: scan cycles and parameter changes on the simulated
// line, the simulated engine's faults thrown at random before each. Every batch runs in a
// child process, so a crash is counted instead of ending the run.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "bench/soak/FaultDice.h"
#include "bench/soak/ReceiveTap.h"
#include "bench/soak/WorstCase.h"
#include "engine/Packets.h"
#include "engine/ParameterExchange.h"
#include "platform/Platform.h"
#include "platform/sim/RecordingFeedback.h"
#include "platform/sim/RecordingKeyboard.h"
#include "platform/sim/SimEngine.h"
#include "platform/sim/SimSerialPort.h"
#include "platform/sim/VirtualClock.h"
#include "session/ApplySettingsToLink.h"
#include "state/ProcessState.h"
#include "wedge/KeystrokeSynthesis.h"
#include "wedge/ScanCycle.h"

namespace {

constexpr int kCycles = 10'000;
constexpr int kChanges = 1'000;
constexpr int kBatch = 500;
constexpr int32_t kScanTime = 30;
constexpr uint8_t kScanTimeParameter = 136;

struct Tally {
    int cycles = 0;
    int cycleHangs = 0;
    int goodDecodes = 0;
    int typedOnce = 0;
    int typedForFailedCycle = 0;
    int changes = 0;
    int changeHangs = 0;
    int failedChanges = 0;
    int failedReportedFailed = 0;

    void add(const Tally& other) {
        cycles += other.cycles;
        cycleHangs += other.cycleHangs;
        goodDecodes += other.goodDecodes;
        typedOnce += other.typedOnce;
        typedForFailedCycle += other.typedForFailedCycle;
        changes += other.changes;
        changeHangs += other.changeHangs;
        failedChanges += other.failedChanges;
        failedReportedFailed += other.failedReportedFailed;
    }
};

// One simulated handheld: engine, line, tap and wedge state in virtual time.
struct Bench {
    qm::sim::VirtualClock clock;
    qm::sim::SimEngine engine;
    qm::sim::SimSerialPortOpener line{clock, engine};
    qm::bench::ReceiveTap tap{line};
    qm::sim::RecordingKeyboard keyboard;
    qm::sim::RecordingFeedback feedback{clock};
    qm::Platform platform{clock, tap, nullptr, &keyboard, nullptr, &feedback, nullptr};
    qm::ProcessState state{platform};
    std::mt19937 random;
    qm::bench::FaultDice dice{random};

    explicit Bench(unsigned seed) : random(seed) {
        if (!state.link.openPort(u"COM3:")) {
            std::fprintf(stderr, "cannot open the simulated port\n");
            std::exit(1);
        }
        engine.setParameter(kScanTimeParameter, kScanTime);
        state.scanSettings.scanTimeIndex = kScanTime;
        qm::applySettingsToLink(state);
        state.scanSettings.beepOnGoodRead = 1;
        state.scanSettings.beepOnNoRead = 1;
        state.scanSettings.visualOnGoodRead = 1;
        state.scanSettings.visualOnNoRead = 1;
        tap.watchPacketTimeout((kScanTime + 2) * 100);
    }
};

std::vector<qm::sim::KeyEvent> typedAsUs(const std::string& data) {
    qm::sim::RecordingKeyboard reference;
    qm::typeDecodedData(reference, reinterpret_cast<const uint8_t*>(data.data()),
                        static_cast<int>(data.size()));
    return reference.events();
}

// A decode counts as good when the cycle's receive loop read it as one whole packet with
// DECODE_DATA, a valid checksum and this cycle's data.
bool readWholeDecode(const std::vector<std::vector<uint8_t>>& packetReads,
                     const std::string& data) {
    for (auto packet : packetReads) {
        if (packet.size() < 7 || packet[0] + 2u != packet.size()) continue;
        if (packet[1] != qm::kOpDecodeData ||
            qm::packetChecksum(packet.data(), qm::ChecksumMode::Verify) != 0)
            continue;
        if (std::string(packet.begin() + 5, packet.end() - 2) == data) return true;
    }
    return false;
}

void runCycle(Bench& bench, int index, Tally& tally) {
    const std::string data = "SOAK-" + std::to_string(index);
    const bool present = std::uniform_int_distribution<int>(0, 9)(bench.random) != 0;
    if (present)
        bench.engine.placeBarcode({qm::sim::Symbology::Code128, data});
    else
        bench.engine.removeBarcode();
    bench.dice.throwInto(bench.engine.faults());
    bench.tap.clear();
    bench.keyboard.clear();

    const int64_t start = bench.clock.nowMs();
    qm::runScanCycle(bench.state);
    const int64_t took = bench.clock.nowMs() - start;

    ++tally.cycles;
    if (took > qm::bench::scanCycleWorstMs(kScanTime, 0)) ++tally.cycleHangs;
    const auto typed = bench.keyboard.events();
    if (readWholeDecode(bench.tap.packetReads(), data)) {
        ++tally.goodDecodes;
        if (typed == typedAsUs(data)) ++tally.typedOnce;
    } else if (!typed.empty()) {
        ++tally.typedForFailedCycle;
    }
    bench.engine.faults() = {};
}

void runChange(Bench& bench, Tally& tally) {
    static constexpr uint8_t kSimple[] = {1, 2, 3, 8, 9, 10, 11, 12, 14, 15, 22, 24, 25};
    static constexpr uint8_t kExtended[] = {0x52, 0x53, 0x54};
    const bool extended = std::uniform_int_distribution<int>(0, 3)(bench.random) == 0;
    const uint8_t number = extended ? kExtended[bench.random() % std::size(kExtended)]
                                    : kSimple[bench.random() % std::size(kSimple)];
    const uint8_t before =
        extended ? bench.engine.extendedParameter(number) : bench.engine.parameter(number);
    const auto value = static_cast<uint8_t>(before ^ 1);
    bench.dice.throwInto(bench.engine.faults());

    const int64_t start = bench.clock.nowMs();
    const int32_t status = extended ? qm::setExtendedParameter(bench.state.link, number, value)
                                    : qm::setParameter(bench.state.link, number, value);
    const int64_t took = bench.clock.nowMs() - start;

    const uint8_t after =
        extended ? bench.engine.extendedParameter(number) : bench.engine.parameter(number);
    ++tally.changes;
    if (took > qm::bench::kTransactionWorstMs) ++tally.changeHangs;
    if (after != value) {
        ++tally.failedChanges;
        if (status != 0) ++tally.failedReportedFailed;
    }
    bench.engine.faults() = {};
}

Tally runBatch(unsigned seed, int firstCycle, int cycles, int changes) {
    Bench bench(seed);
    Tally tally;
    for (int i = 0; i < cycles; ++i) runCycle(bench, firstCycle + i, tally);
    for (int i = 0; i < changes; ++i) runChange(bench, tally);
    return tally;
}

// Runs one batch in a child; false when the child did not come back with its tally.
bool runBatchApart(unsigned seed, int firstCycle, int cycles, int changes, Tally& total) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        const Tally tally = runBatch(seed, firstCycle, cycles, changes);
        const bool written = write(fds[1], &tally, sizeof tally) == sizeof tally;
        _exit(written ? 0 : 1);
    }
    close(fds[1]);
    Tally tally;
    const bool read_ = read(fds[0], &tally, sizeof tally) == sizeof tally;
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!read_ || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
    total.add(tally);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const unsigned seed = argc > 1 ? static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10)) : 1;
    Tally total;
    int crashes = 0;
    for (int first = 0; first < kCycles; first += kBatch)
        if (!runBatchApart(seed + first, first, kBatch, 0, total)) ++crashes;
    for (int done = 0; done < kChanges; done += kBatch)
        if (!runBatchApart(seed + kCycles + done, 0, 0, kBatch, total)) ++crashes;

    std::printf("faulty-line soak, seed %u: %d scan cycles, %d parameter changes\n", seed,
                total.cycles, total.changes);
    std::printf("crashed batches:                 %d (target 0)\n", crashes);
    std::printf("hangs (past the worst case):     %d cycles, %d changes (target 0)\n",
                total.cycleHangs, total.changeHangs);
    std::printf("good decodes typed exactly once: %d of %d (target all)\n", total.typedOnce,
                total.goodDecodes);
    std::printf("typed for a failed cycle:        %d (target 0)\n", total.typedForFailedCycle);
    std::printf("failed changes reported failed:  %d of %d (target all)\n",
                total.failedReportedFailed, total.failedChanges);
    const bool met = crashes == 0 && total.cycleHangs == 0 && total.changeHangs == 0 &&
                     total.typedOnce == total.goodDecodes && total.typedForFailedCycle == 0 &&
                     total.failedReportedFailed == total.failedChanges;
    return met ? 0 : 1;
}
