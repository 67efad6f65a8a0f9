#include "apps/wedge_common/WedgeRuntime.h"

#include <QApplication>
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
    : input_(openDesktopInput(options.input)),
      keys_({input_.keys.get(), extraKeys}),
      trace_(packetTraceFor(options.trace, clock)),
      device_(input_.grab.get(),
              [this] {
                  std::vector<uint8_t> keys{state_->link.scanKey.load()};
                  if (const uint8_t target = state_->link.targetKey.load()) keys.push_back(target);
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
    app_->showWindows = !options.noWindow && ui::windowsCanBeSeen();
    wireSetup();
    sessionEnd_ = std::make_unique<SessionEnd>(*state_, [this] { endRequested(); });
}

WedgeRuntime::~WedgeRuntime() {
    sessionEnd_.reset();
    app_.reset();
    // The scanning thread goes before anything it reaches.
    state_.reset();
}

void WedgeRuntime::wireSetup() {
    app_->runBarCodeSetup = [this](QWidget* parent) {
        runSetupDialog(*state_, services_, parent, setupOpened);
    };
    app_->triggerKeysChanged = [this] { device_.triggerKeysChanged(); };
    app_->panelStatus = [this] { return panelStatusOf(*state_, input_, app_->portChoice); };
}

// Every event loop ends, the modal ones included; one not yet running (start-up's boxes and
// engine work come first) is not started.
void WedgeRuntime::endRequested() {
    ending_ = true;
    QCoreApplication::exit(0);
}

int WedgeRuntime::run(const std::function<void()>& afterStartUp) {
    if (!input_.problem.empty())
        std::cerr << QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString()
                  << ": " << input_.problem << "\n";
    app_->startUp(&std::cerr);
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
