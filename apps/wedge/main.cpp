// quillmark: the scan wedge on a real engine behind the device root's COM3.
#include <QApplication>
#include <iostream>

#include "apps/desktop/BusNames.h"
#include "apps/wedge_common/DevicePort.h"
#include "apps/wedge_common/DeviceRootSetup.h"
#include "apps/wedge_common/DisplayCheck.h"
#include "apps/wedge_common/WedgeOptions.h"
#include "apps/wedge_common/WedgeRuntime.h"
#include "platform/linux/LinuxSerialDevices.h"
#include "platform/linux/LinuxSerialPortOpener.h"
#include "platform/linux/RealClock.h"
#include "ui/MessageBoxes.h"
#include "ui/app/EarlyFailure.h"

int main(int argc, char** argv) {
    int exitCode = 0;
    const auto options =
        qm::app::readWedgeOptions(argc, argv, qm::app::Engine::SerialPort, exitCode);
    if (!options) return exitCode;
    if (options->keyCommand)
        return qm::desktop::runKeyCommand(argc, argv, *options->keyCommand,
                                          qm::desktop::kWedgeService);
    const auto app = qm::app::openDisplay(argc, argv);
    qm::app::nameTheProgram();

    const auto root = options->root.isEmpty() ? qm::app::defaultDeviceRoot("quillmark")
                                              : std::filesystem::path(options->root.toStdString());
    std::string error;
    if (!qm::app::prepareRootOnFirstRun(root, error) ||
        (!options->port.isEmpty() &&
         !qm::app::pointPortAt(root, options->port.toStdString(), error))) {
        qm::ui::QtMessageBoxes shown;
        qm::ui::UnseenBoxes unseen;
        qm::ui::showEarlyFailure(
            options->noWindow ? static_cast<qm::ui::MessageBoxes&>(unseen) : shown, &std::cerr,
            error);
        return 1;
    }
    qm::linux_platform::RealClock clock;
    auto serial = qm::linux_platform::LinuxSerialPortOpener::forDeviceRoot(root.string());
    qm::linux_platform::LinuxSerialDevices devices;
    qm::app::WedgeRuntime runtime(clock, serial, root, *options);
    runtime.app().portChoice = qm::app::portChoiceIn(root, devices);
    return runtime.run();
}
