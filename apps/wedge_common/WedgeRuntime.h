#pragma once

#include <filesystem>
#include <functional>
#include <memory>

#include "apps/wedge_common/DesktopDelivery.h"
#include "apps/wedge_common/SessionEnd.h"
#include "apps/wedge_common/WedgeOptions.h"
#include "platform/linux/DeviceRootFileSystem.h"
#include "platform/linux/GrabbingDeviceLibrary.h"
#include "platform/linux/LockFileMutexes.h"
#include "platform/linux/SoundThemeFeedback.h"
#include "state/ProcessState.h"
#include "ui/GuiQueue.h"
#include "ui/MessageBoxes.h"
#include "ui/UiServices.h"
#include "ui/app/DeliveryStatus.h"
#include "ui/app/PopupFeedback.h"
#include "ui/app/ScanWedgeApp.h"

namespace qm::ui {
class CSetupDlg;
}

namespace qm::app {

// One run of the wedge on this desktop, whatever engine it talks to: the backends, the
// process state and the application object, built and torn down in the right order.
class WedgeRuntime {
public:
    // `extraKeys` is down beside the desktop's own keys (the simulated handheld's buttons).
    WedgeRuntime(Clock& clock, SerialPortOpener& serial, const std::filesystem::path& root,
                 const WedgeOptions& options, KeyState* extraKeys = nullptr);
    ~WedgeRuntime();

    // How decodes and trigger presses travel, for whatever shows it.
    ui::DeliveryStatusBoard& delivery() { return board_; }

    // Start-up, then the event loop; `afterStartUp` runs once the main dialog is shown.
    // Returns the exit status.
    int run(const std::function<void()>& afterStartUp = {});

    ProcessState& state() { return *state_; }
    ui::CScanWedgeApp& app() { return *app_; }
    ui::UiServices& services() { return services_; }
    ui::PopupFeedback& popups() { return popups_; }

    // Told of every Bar Code Setup dialog as it opens (the demonstration drives it).
    std::function<void(ui::CSetupDlg&)> setupOpened;

private:
    void wireSetup();
    void endRequested();

    ui::GuiQueue queue_;
    ui::QtMessageBoxes boxes_;
    ui::DeliveryStatusBoard board_;
    ui::UiServices services_{boxes_, queue_, &std::cerr, &board_};
    ui::PopupFeedback popups_{queue_, nullptr};
    linux_platform::SoundThemeFeedback feedback_{&popups_};
    // Made in the constructor's body and taken down first in the destructor's; declared before
    // what asks for it meanwhile, so that it reads null until then rather than uninitialised.
    std::unique_ptr<ProcessState> state_;
    DesktopDelivery delivery_;
    std::unique_ptr<PacketTrace> trace_;  // outlives the link, which may use it to the end
    linux_platform::GrabbingDeviceLibrary device_;
    DeviceRootFileSystem files_;
    linux_platform::LockFileMutexes mutexes_;
    Platform platform_;
    std::unique_ptr<ui::CScanWedgeApp> app_;
    std::unique_ptr<SessionEnd> sessionEnd_;
    bool ending_ = false;  // a signal or a lost display asked for the end
};

}  // namespace qm::app
