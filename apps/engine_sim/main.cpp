// quillmark-engine-sim: a simulated scan engine on a pseudo-terminal, so the real serial
// backend can be tested end to end.

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

#include "apps/engine_sim/EnginePump.h"
#include "apps/engine_sim/EngineSimOptions.h"
#include "apps/engine_sim/StableLink.h"
#include "engine/PacketTraceLines.h"
#include "platform/linux/PseudoTerminal.h"
#include "platform/linux/RealClock.h"
#include "platform/sim/SimEngineParameterFile.h"

namespace {

constexpr uint8_t kParamTransmitNoRead = 94;

std::atomic<bool> stopRequested{false};
std::atomic<bool> unplugRequested{false};
std::atomic<bool> plugInRequested{false};
// Ends the pump: a stop or an unplug.
std::atomic<bool> pumpInterrupted{false};

extern "C" void requestStop(int) {
    stopRequested = true;
    pumpInterrupted = true;
}
extern "C" void requestUnplug(int) {
    unplugRequested = true;
    pumpInterrupted = true;
}
extern "C" void requestPlugIn(int) { plugInRequested = true; }

// Checked often enough while unplugged for a plug-in to take a moment only.
constexpr auto kUnpluggedNap = std::chrono::milliseconds(10);

int fail(const std::string& message, int code) {
    std::cerr << "quillmark-engine-sim: " << message << "\n";
    return code;
}

bool loadParameterFile(const std::string& path, qm::sim::SimpleParameterTable& table,
                       std::string& error) {
    std::ifstream file(path);
    if (!file) {
        error = "cannot read parameter file \"" + path + "\"";
        return false;
    }
    std::stringstream text;
    text << file.rdbuf();
    if (qm::sim::applyParameterText(text.str(), table, error)) return true;
    error = path + ": " + error;
    return false;
}

bool buildTable(const qm::engine_sim::EngineSimOptions& options,
                qm::sim::SimpleParameterTable& table, std::string& error) {
    table = qm::sim::factorySimpleParameters();
    if (options.parameterFile && !loadParameterFile(*options.parameterFile, table, error)) {
        return false;
    }
    for (const auto& [number, value] : options.assignments) table[number] = value;
    if (options.noReadMessageOff) table[kParamTransmitNoRead] = 0;
    return true;
}

// The engine on one terminal after another: each plug-in opens a new one (its path printed as
// the next line, the link pointed at it) until a stop. 1 when a terminal or the link fails.
int answerOnTerminals(qm::sim::SimEngine& engine, const qm::engine_sim::EngineSimOptions& options,
                      qm::Clock& clock, qm::PacketTrace* trace) {
    qm::engine_sim::StableLink link(options.link.value_or(""));
    std::string error;
    for (;;) {
        auto pty = qm::linux_platform::PseudoTerminal::open(error);
        if (!pty) return fail(error, 1);
        if (!pty->holdSlaveOpen()) return fail("cannot open " + pty->slavePath(), 1);
        if (!link.pointAt(pty->slavePath(), error)) return fail(error, 1);
        std::cout << pty->slavePath() << std::endl;
        pumpInterrupted = false;
        if (stopRequested || unplugRequested) pumpInterrupted = true;
        if (!qm::engine_sim::pumpEngine(engine, *pty, clock, pumpInterrupted, trace))
            return fail("the pseudo-terminal failed", 1);
        if (stopRequested) return 0;
        // Unplugged: the terminal hangs up and goes, and the engine loses its power.
        engine.unplug();
        link.remove();
        pty.reset();
        unplugRequested = false;
        plugInRequested = false;
        while (!stopRequested && !plugInRequested) std::this_thread::sleep_for(kUnpluggedNap);
        if (stopRequested) return 0;
        unplugRequested = false;  // an unplug while unplugged is no unplug
        engine.plugIn();
    }
}

}  // namespace

int main(int argc, char** argv) {
    qm::engine_sim::EngineSimOptions options;
    if (const auto done =
            qm::engine_sim::parseEngineSimOptions(argc, argv, options, std::cout, std::cerr)) {
        return *done;
    }
    std::string error;
    qm::sim::SimpleParameterTable table;
    if (!buildTable(options, table, error)) return fail(error, qm::engine_sim::kExitUsage);

    qm::sim::SimEngine engine(table);
    engine.faults() = options.faults;
    if (options.barcode) engine.placeBarcode(*options.barcode);

    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    std::signal(SIGUSR1, requestUnplug);
    std::signal(SIGUSR2, requestPlugIn);
    qm::linux_platform::RealClock clock;
    qm::PacketTraceLines trace(qm::wholeLinesTo(stderr), clock.nowMicros());
    return answerOnTerminals(engine, options, clock, options.trace ? &trace : nullptr);
}
