#include "apps/wedge_common/WedgeRuntime.h"

#include <QApplication>
#include <QDBusConnection>
#include <QFileInfo>
#include <iostream>

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
    wireSetup();
}

WedgeRuntime::~WedgeRuntime() {
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
    if (afterStartUp && !app_->quitRequested()) afterStartUp();
    const int status = QApplication::exec();
    app_->exitHook();
    app_->endRun();
    return status;
}

}  // namespace qm::app
