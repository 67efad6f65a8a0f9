// quillmark-engine-sim: a simulated scan engine on a pseudo-terminal, so the real serial
// backend can be tested end to end.

#include <atomic>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "apps/engine_sim/EnginePump.h"
#include "apps/engine_sim/EngineSimOptions.h"
#include "engine/PacketTraceLines.h"
#include "platform/linux/PseudoTerminal.h"
#include "platform/linux/RealClock.h"
#include "platform/sim/SimEngineParameterFile.h"

namespace {

constexpr uint8_t kParamTransmitNoRead = 94;

std::atomic<bool> stopRequested{false};

extern "C" void requestStop(int) { stopRequested = true; }

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

    auto pty = qm::linux_platform::PseudoTerminal::open(error);
    if (!pty) return fail(error, 1);
    if (!pty->holdSlaveOpen()) return fail("cannot open " + pty->slavePath(), 1);
    std::cout << pty->slavePath() << std::endl;

    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    qm::linux_platform::RealClock clock;
    qm::PacketTraceLines trace(qm::wholeLinesTo(stderr), clock.nowMicros());
    if (!qm::engine_sim::pumpEngine(engine, *pty, clock, stopRequested,
                                    options.trace ? &trace : nullptr)) {
        return fail("the pseudo-terminal failed", 1);
    }
    return 0;
}
