#include "apps/wedge_common/WedgeRuntime.h"

#include <QApplication>
#include <QFileInfo>
#include <iostream>

#include "apps/wedge_common/QtPacketTrace.h"
#include "apps/wedge_common/SetupHook.h"

namespace qm::app {

WedgeRuntime::WedgeRuntime(Clock& clock, SerialPortOpener& serial,
                           const std::filesystem::path& root, const WedgeOptions& options,
                           KeyState* extraKeys)
    : input_(openDesktopInput(options.input)),
      keys_({input_.keys.get(), extraKeys}),
      trace_(packetTraceFor(options.trace, clock)),
      device_(input_.grab.get(),
              [this] {
                  std::vector<uint8_t> keys{state_->linkSettings.scanKey()};
                  if (const uint8_t target = state_->linkSettings.targetKey())
                      keys.push_back(target);
                  return keys;
              }),
      files_(root),
      mutexes_(root),
      platform_{clock,  serial,     &files_,  input_.keyboard.get(),
                &keys_, &feedback_, &device_, &mutexes_} {
    state_ = std::make_unique<ProcessState>(platform_);
    state_->link.setTrace(trace_.get());
    state_->ServiceMode = options.service ? 1 : 0;
    app_ = std::make_unique<ui::CScanWedgeApp>(*state_, services_);
    wireSetup();
}

WedgeRuntime::~WedgeRuntime() {
    app_.reset();
    // The scanning thread goes before anything it reaches.
    state_.reset();
}

void WedgeRuntime::wireSetup() {
    app_->runBarCodeSetup = [this](QWidget* parent) {
        runSetupDialog(*state_, services_, parent, setupOpened);
    };
    app_->triggerKeysChanged = [this] { device_.triggerKeysChanged(); };
}

int WedgeRuntime::run(const std::function<void()>& afterStartUp) {
    if (!input_.problem.empty())
        std::cerr << QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString()
                  << ": " << input_.problem << "\n";
    app_->startUp(&std::cerr);
    if (afterStartUp && !app_->quitRequested()) afterStartUp();
    const int status = QApplication::exec();
    app_->exitHook();
    app_->endRun();
    return status;
}

}  // namespace qm::app
