// quillmark-sim: the scan wedge on an in-process simulated engine, with the "Simulated engine"
// window to put bar codes in front of it and press its keys.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <iostream>

#include "apps/desktop/BusNames.h"
#include "apps/wedge_common/DeviceRootSetup.h"
#include "apps/wedge_common/DisplayCheck.h"
#include "apps/wedge_common/WedgeOptions.h"
#include "apps/wedge_common/WedgeRuntime.h"
#include "apps/wedge_sim/Demonstration.h"
#include "apps/wedge_sim/PaintGapProbe.h"
#include "apps/wedge_sim/SimulatedEngineWindow.h"
#include "apps/wedge_sim/VirtualKeys.h"
#include "platform/linux/RealClock.h"
#include "platform/sim/SimEngine.h"
#include "platform/sim/SimSerialPort.h"
#include "ui/MessageBoxes.h"
#include "ui/app/EarlyFailure.h"
#include "ui/app/ProgressDialog.h"

namespace {

// The peak resident set, from the kernel's own account.
QString peakResident() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return "?";
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return QString::fromLatin1(line.mid(6).trimmed());
    return "?";
}

// For the start-up benchmark: "shown" once the frame is on the screen, the peak memory after
// a moment idle, then the end.
void reportStartUp(qm::app::WedgeRuntime& runtime, const qm::app::PaintGapProbe& probe) {
    auto* frame = runtime.app().frame();
    while (!frame->windowHandle() || !frame->windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    std::printf("shown\nrepaint gap %lld ms over %d paints\n",
                static_cast<long long>(probe.longestGapMs()), probe.paints());
    std::fflush(stdout);
    QTimer::singleShot(1000, [] {
        std::printf("peak %s\n", qPrintable(peakResident()));
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
}

}  // namespace

int main(int argc, char** argv) {
    int exitCode = 0;
    const auto options =
        qm::app::readWedgeOptions(argc, argv, qm::app::Engine::Simulated, exitCode);
    if (!options) return exitCode;
    if (options->keyCommand)
        return qm::desktop::runKeyCommand(argc, argv, *options->keyCommand,
                                          qm::desktop::kWedgeSimService);
    const auto app = qm::app::openDisplay(argc, argv);
    qm::app::nameTheProgram();

    const auto root = options->root.isEmpty() ? qm::app::defaultDeviceRoot("quillmark-sim")
                                              : std::filesystem::path(options->root.toStdString());
    std::string error;
    if (!qm::app::prepareRootOnFirstRun(root, error)) {
        qm::ui::QtMessageBoxes shown;
        qm::ui::UnseenBoxes unseen;
        qm::ui::showEarlyFailure(
            options->noWindow ? static_cast<qm::ui::MessageBoxes&>(unseen) : shown, &std::cerr,
            error);
        return 1;
    }
    qm::linux_platform::RealClock clock;
    qm::sim::SimEngine engine;
    qm::sim::SimSerialPortOpener serial(clock, engine);
    qm::app::VirtualKeys buttons;
    qm::app::WedgeRuntime runtime(clock, serial, root, *options, &buttons);
    qm::app::SimulatedEngineWindow window(engine, buttons, runtime.state());

    std::unique_ptr<qm::app::Demonstration> demo;
    if (!options->demoFolder.isEmpty()) {
        demo =
            std::make_unique<qm::app::Demonstration>(runtime, engine, window, options->demoFolder);
        if (!demo->prepare(root.string())) {
            std::cerr << "quillmark-sim: the working profile in " << root << " cannot be read\n";
            return 1;
        }
    }
    qm::app::PaintGapProbe probe;
    if (options->benchStartUp)
        QObject::connect(&runtime.app(), &qm::ui::CScanWedgeApp::progressDialogCreated,
                         [&probe](qm::ui::CProgressDlg* dialog) { probe.watch(dialog); });
    return runtime.run([&] {
        window.move(runtime.app().frame()->frameGeometry().topRight() + QPoint(16, 0));
        window.show();
        if (options->benchStartUp) reportStartUp(runtime, probe);
        if (demo) demo->run();
    });
}
