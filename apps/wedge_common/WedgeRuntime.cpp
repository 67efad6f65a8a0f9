#include "apps/wedge_common/WedgeRuntime.h"

#include <QApplication>
#include <QDBusConnection>
#include <QFileInfo>
#include <cstdlib>
#include <iostream>

#include "apps/wedge_common/PanelStatusOf.h"
#include "apps/wedge_common/QtPacketTrace.h"
#include "apps/wedge_common/SetupHook.h"

namespace qm::app {

WedgeRuntime::WedgeRuntime(Clock& clock, SerialPortOpener& serial,
                           const std::filesystem::path& root, const WedgeOptions& options,
                           KeyState* extraKeys)
    : delivery_(
          {options.input, SessionEnvironment::current(), root, options.busName, extraKeys},
          QDBusConnection::sessionBus(), clock, [this] { return state_.get(); }, board_),
      trace_(packetTraceFor(options.trace, clock)),
      device_(delivery_.grab(),
              [this] {
                  std::vector<uint8_t> keys{state_->linkSettings.scanKey()};
                  if (const uint8_t target = state_->linkSettings.targetKey())
                      keys.push_back(target);
                  return keys;
              }),
      files_(root),
      mutexes_(root),
      platform_{clock,      serial,   &files_,  delivery_.keyboard(), delivery_.keys(),
                &feedback_, &device_, &mutexes_} {
    state_ = std::make_unique<ProcessState>(platform_);
    state_->link.setTrace(trace_.get());
    state_->ServiceMode = options.service ? 1 : 0;
    app_ = std::make_unique<ui::CScanWedgeApp>(*state_, services_);
    app_->showWindows = !options.noWindow && ui::windowsCanBeSeen();
    wireSetup();
    sessionEnd_ = std::make_unique<SessionEnd>(*state_, [this] { endRequested(); });
}

WedgeRuntime::~WedgeRuntime() {
    sessionEnd_.reset();
    delivery_.stopped();
    app_.reset();
    // The scanning thread goes before anything it reaches.
    state_.reset();
}

void WedgeRuntime::wireSetup() {
    app_->runBarCodeSetup = [this](QWidget* parent) {
        runSetupDialog(*state_, services_, parent, setupOpened);
    };
    app_->triggerKeysChanged = [this] {
        device_.triggerKeysChanged();
        delivery_.triggerKeysChanged();
    };
    app_->panelStatus = [this] {
        return panelStatusOf(*state_, board_.status(), app_->portChoice);
    };
}

// Every event loop ends, the modal ones included; one not yet running (start-up's boxes and
// engine work come first) is not started.
void WedgeRuntime::endRequested() {
    ending_ = true;
    QCoreApplication::exit(0);
}

int WedgeRuntime::run(const std::function<void()>& afterStartUp) {
    const std::string program =
        QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString();
    if (!board_.status().canType) std::cerr << program << ": " << board_.status().typing << "\n";
    if (!board_.status().hasTriggers)
        std::cerr << program << ": " << board_.status().triggers << "\n";
    app_->startUp(&std::cerr);
    popups_.anchorTo(app_->frame());
    delivery_.started();
    if (afterStartUp && !app_->quitRequested() && !ending_) afterStartUp();
    sessionEnd_->guardExit();
    const int status = ending_ ? 0 : QApplication::exec();
    app_->exitHook();
    app_->endRun();
    sessionEnd_->disarm();
    // The windows cannot be taken down without their display; nothing else is left to do.
    if (sessionEnd_->displayLost()) std::_Exit(0);
    return ending_ ? 0 : status;
}

}  // namespace qm::app
