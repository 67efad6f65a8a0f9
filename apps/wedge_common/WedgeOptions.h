#pragma once

#include <QString>
#include <optional>

#include "apps/desktop/WedgeKeyCommand.h"
#include "apps/wedge_common/SessionChoice.h"

class QCoreApplication;

namespace qm::app {

enum class Engine { SerialPort, Simulated };

struct WedgeOptions {
    QString root;
    QString port;
    bool service = false;
    InputChoice input = InputChoice::Automatic;
    bool trace = false;         // every packet and transaction outcome on standard error
    bool noWindow = false;      // no main dialog: the panel icon only, or nothing
    QString demoFolder;         // simulated only
    bool benchStartUp = false;  // simulated only: report start-up time and quit
    std::optional<desktop::KeyCommand> keyCommand;  // call the running wedge instead of starting
    QString busName;  // the control interface's name on the session bus
};

inline constexpr int kUsageExitCode = 2;

// The command line, or nullopt after --help, --version or a usage error, with `exitCode` set
// to what the program should end with.
std::optional<WedgeOptions> parseWedgeOptions(const QCoreApplication& app, Engine engine,
                                              int& exitCode);

// The name and version every box and message goes by.
void nameTheProgram();

// The same, read before there is a display, so --help and --version work without one.
std::optional<WedgeOptions> readWedgeOptions(int argc, char** argv, Engine engine, int& exitCode);

}  // namespace qm::app
