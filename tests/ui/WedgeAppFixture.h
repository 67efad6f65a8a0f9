#pragma once

// The wedge's windows on the offscreen platform, over the simulated engine in virtual time,
// with message boxes recorded instead of shown.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/DeviceRootFileSystem.h"
#include "platform/linux/LockFileMutexes.h"
#include "platform/sim/RecordingDeviceLibrary.h"
#include "platform/sim/RecordingFeedback.h"
#include "platform/sim/RecordingKeyboard.h"
#include "platform/sim/ScriptedKeyState.h"
#include "platform/sim/SimEngine.h"
#include "platform/sim/SimSerialPort.h"
#include "platform/sim/VirtualClock.h"
#include "state/ProcessState.h"
#include "tests/TempFolder.h"
#include "tests/ui/RecordingBoxes.h"
#include "ui/GuiQueue.h"
#include "ui/MessageBoxes.h"
#include "ui/UiServices.h"
#include "ui/app/ProgressDialog.h"
#include "ui/app/ScanWedgeApp.h"

namespace qm::test {

class WedgeAppFixture : public ::testing::Test {
protected:
    explicit WedgeAppFixture(std::u16string portName = u"COM3:")
        : serial(clock, engine, std::move(portName)) {
        QCoreApplication::setApplicationName("Quillmark");
        prepareDeviceRoot(root.path(), QM_SOURCE_DIR "/resources");
    }
    ~WedgeAppFixture() override {
        app.reset();
        state.reset();
    }

    // Start-up as the program runs it; the positions every progress dialog showed are kept.
    void startUp(bool serviceMode = false) {
        state = std::make_unique<ProcessState>(platform);
        state->ServiceMode = serviceMode ? 1 : 0;
        app = std::make_unique<ui::CScanWedgeApp>(*state, services);
        QObject::connect(app.get(), &ui::CScanWedgeApp::progressDialogCreated,
                         [this](ui::CProgressDlg* dialog) {
                             positions.emplace_back();
                             QObject::connect(dialog, &ui::CProgressDlg::positionShown,
                                              [this](int p) { positions.back().push_back(p); });
                         });
        app->startUp();
    }

    // What the event loop ends with once it runs, or -1 when nothing ended it. The deadline
    // goes with the call: one left pending would end a later test's loop.
    int runEventLoop() {
        QTimer deadline;
        deadline.setSingleShot(true);
        QObject::connect(&deadline, &QTimer::timeout, [] { QCoreApplication::exit(-1); });
        deadline.start(2000);
        return QCoreApplication::exec();
    }

    std::filesystem::path profile(const char* name) const {
        return root.path() / "Program Files" / "Quillmark" / name;
    }

    TempFolder root{"qm-ui-app"};
    sim::VirtualClock clock;
    sim::SimEngine engine;
    sim::SimSerialPortOpener serial;
    DeviceRootFileSystem files{root.path()};
    sim::RecordingKeyboard keyboard;
    sim::ScriptedKeyState keys{clock};
    sim::RecordingFeedback feedback{clock};
    sim::RecordingDeviceLibrary device;
    linux_platform::LockFileMutexes mutexes{root.path()};
    Platform platform{clock, serial, &files, &keyboard, &keys, &feedback, &device, &mutexes};
    RecordingBoxes boxes;
    ui::GuiQueue queue;
    ui::UiServices services{boxes, queue};
    std::unique_ptr<ProcessState> state;
    std::unique_ptr<ui::CScanWedgeApp> app;
    std::vector<std::vector<int>> positions;
};

}  // namespace qm::test
