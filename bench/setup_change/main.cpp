// A setting changed through its control in the Bar Code Setup dialog, from the click to
// "Settings Updated." in the status line, against the protocol's own time for that one
// parameter change (the same clicks in virtual time). Then the dialog opened with its five
// pages filled, beside the time to read LastUser.cfg alone.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "bench/common/ProtocolRatio.h"
#include "bench/common/Samples.h"
#include "platform/Platform.h"
#include "platform/linux/DeviceRootFileSystem.h"
#include "platform/sim/SimEngine.h"
#include "platform/sim/SimSerialPort.h"
#include "session/LoadSettings.h"
#include "settings/ProfileFiles.h"
#include "state/ProcessState.h"
#include "ui/ControlLookup.h"
#include "ui/GuiQueue.h"
#include "ui/MessageBoxes.h"
#include "ui/UiServices.h"
#include "ui/setup/CodeTypePage.h"
#include "ui/setup/SetupDialog.h"

namespace {

constexpr int kClicks = 40;
constexpr int kOpenings = 20;
constexpr int kCode93 = 1041;
constexpr double kFrameMs = 16.0;

using SteadyClock = std::chrono::steady_clock;

int64_t microsSince(SteadyClock::time_point start) {
    return std::chrono::duration_cast<std::chrono::microseconds>(SteadyClock::now() - start)
        .count();
}

std::filesystem::path deviceRoot() {
    const auto root = std::filesystem::temp_directory_path() / "qm-bench-setup-change";
    std::filesystem::remove_all(root);
    if (!qm::prepareDeviceRoot(root, std::filesystem::path(QM_SOURCE_DIR) / "resources")) {
        std::fprintf(stderr, "cannot prepare %s\n", root.c_str());
        std::exit(1);
    }
    return root;
}

struct Handheld {
    explicit Handheld(qm::Clock& clock) : opener(clock, engine), platform{clock, opener, &files} {
        qm::bench::exitUnless(state.link.openPort(u"COM3:"));
    }
    qm::sim::SimEngine engine;
    qm::sim::SimSerialPortOpener opener;
    qm::DeviceRootFileSystem files{deviceRoot()};
    qm::Platform platform;
    qm::ProcessState state{platform};
    qm::ui::QtMessageBoxes boxes;
    qm::ui::GuiQueue queue;
    qm::ui::UiServices services{boxes, queue};
};

// Clicks Code 93 on and off; each click must end with "Settings Updated." shown.
int64_t timeClicks(qm::Clock& clock, bool realTime) {
    Handheld handheld(clock);
    qm::ui::CSetupDlg dialog(handheld.state, handheld.services);
    auto* box = qm::ui::controlAs<QCheckBox>(&dialog.codeTypePage(), kCode93);
    auto* status = qm::ui::controlAs<QLineEdit>(&dialog, 1039);
    const int64_t virtualStart = clock.nowMicros();
    const auto start = SteadyClock::now();
    for (int i = 0; i < kClicks; ++i) {
        box->click();
        if (status->text() != "Settings Updated.") {
            std::fprintf(stderr, "click %d: %s\n", i, qPrintable(status->text()));
            std::exit(1);
        }
    }
    return realTime ? microsSince(start) : clock.nowMicros() - virtualStart;
}

void measureClicks() {
    qm::sim::VirtualClock virtualClock;
    qm::linux_platform::RealClock realClock;
    const int64_t demanded = timeClicks(virtualClock, false);
    const int64_t measured = timeClicks(realClock, true);
    qm::bench::printProtocolRatio("check box clicks to \"Settings Updated.\"", kClicks, demanded,
                                  measured);
    const double demandedEach = demanded / 1000.0 / kClicks;
    const double measuredEach = measured / 1000.0 / kClicks;
    std::printf("each: %.2f ms against %.2f ms; target %.2f ms (1.05 x + one frame)\n",
                measuredEach, demandedEach, demandedEach * 1.05 + kFrameMs);
}

void measureOpening() {
    qm::linux_platform::RealClock clock;
    Handheld handheld(clock);
    qm::bench::Samples opening;
    qm::bench::Samples reading;
    for (int i = 0; i < kOpenings; ++i) {
        auto start = SteadyClock::now();
        qm::loadSettings(handheld.state, qm::ProfileFiles[qm::kLastUserProfile]);
        reading.add(microsSince(start) / 1000.0);
        start = SteadyClock::now();
        auto dialog = std::make_unique<qm::ui::CSetupDlg>(handheld.state, handheld.services);
        dialog->show();
        QApplication::processEvents();
        opening.add(microsSince(start) / 1000.0);
    }
    std::printf("\ndialog opened, five pages filled and shown: median %.2f ms, max %.2f ms\n",
                opening.percentile(0.5), opening.percentile(1));
    std::printf("reading LastUser.cfg alone:                median %.3f ms, max %.3f ms\n",
                reading.percentile(0.5), reading.percentile(1));
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    measureClicks();
    measureOpening();
    return 0;
}
