#include "ui/app/ScanWedgeApp.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLoggingCategory>

#include "platform/NamedMutex.h"
#include "session/StartUp.h"
#include "state/ProcessState.h"
#include "ui/BusyWork.h"
#include "ui/MessageBoxes.h"
#include "ui/UiServices.h"
#include "ui/app/QueuedProgress.h"
#include "wedge/ScanningControl.h"

Q_LOGGING_CATEGORY(qmTrace, "quillmark.trace", QtWarningMsg)

namespace qm::ui {

namespace {

// Start-up failures as the engine work on its own thread reports them; shown once it is done.
class CollectedFailures : public StartUpObserver {
public:
    explicit CollectedFailures(ProgressDialogFactory* dialogs = nullptr) : dialogs_(dialogs) {}

    void startUpFailed(StartUpFailure failure, const std::string& reason) override {
        failures.push_back({failure, reason});
    }
    std::unique_ptr<ProgressReporter> createProgressDialog() override {
        return dialogs_ ? dialogs_->createProgressDialog() : nullptr;
    }

    std::vector<std::pair<StartUpFailure, std::string>> failures;

private:
    ProgressDialogFactory* dialogs_;
};

QString applicationTitle() { return QCoreApplication::applicationName(); }

}  // namespace

CScanWedgeApp::CScanWedgeApp(ProcessState& state, UiServices& services)
    : state_(state), services_(services) {}

CScanWedgeApp::~CScanWedgeApp() = default;

void CScanWedgeApp::startUp(std::ostream* log) {
    log_ = log;
    frame_ = std::make_unique<CMainFrame>();
    // A second instance must not talk to the engine the first one is driving.
    if (takeSingleInstance()) {
        openEngine();
        startScanningThread();
    }
    frame_->show();
    frame_->repaint();
    showMainDialog();
    resumeScanning(state_);
}

bool CScanWedgeApp::takeSingleInstance() {
    NamedMutexes* mutexes = state_.platform.mutexes;
    if (!mutexes) return true;
    MutexCreation created = mutexes->createMutex(u"Quillmark");
    if (created.mutex) {
        instance_ = std::move(created.mutex);
        return true;
    }
    if (created.lastError == kErrorAlreadyExists) {
        fail("Quillmark already running.", "Results", "another instance holds its lock");
        requestQuit();
        return false;
    }
    fail(QString("CreateMutex error: %1.").arg(created.lastError), "Error",
         "the single-instance lock could not be created");
    return true;
}

void CScanWedgeApp::openEngine() {
    QueuedProgressFactory dialogs(services_.queue, frame_->view(), [this](CProgressDlg& dialog) {
        emit progressDialogCreated(&dialog);
    });
    CollectedFailures observer(&dialogs);
    runWhileRepainting(nullptr, services_.queue, [&] { openSession(state_, observer); });
    for (const auto& [failure, reason] : observer.failures) {
        if (failure == StartUpFailure::PortNotOpened)
            fail("CommPort failed to Open!", applicationTitle(), reason);
        else
            fail("Configuration file failed to load!", "Error", reason);
        requestQuit();
    }
}

void CScanWedgeApp::startScanningThread() {
    CollectedFailures observer;
    qCDebug(qmTrace, "set to custom input mode\r\n");
    startScanning(state_, observer);
    for (const auto& failure : observer.failures)
        fail("Scan Wedge Thread failed to open!", applicationTitle(), failure.second);
}

void CScanWedgeApp::showMainDialog() {
    MainDialogHooks hooks;
    hooks.runBarCodeSetup = [this](QWidget* parent) {
        if (runBarCodeSetup) runBarCodeSetup(parent);
    };
    hooks.minimiseFrame = [this] { frame_->showMinimized(); };
    hooks.triggerKeysChanged = [this] {
        if (triggerKeysChanged) triggerKeysChanged();
    };
    hooks.progressParent = frame_->view();
    hooks.progressCreated = [this](CProgressDlg& dialog) { emit progressDialogCreated(&dialog); };
    mainDialog_ = new CMainDlg(state_, services_, std::move(hooks));
    frame_->hostDialog(mainDialog_);
    mainDialog_->show();
    mainDialog_->repaint();
}

void CScanWedgeApp::fail(const QString& text, const QString& caption, const std::string& reason) {
    if (log_)
        *log_ << QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString() << ": "
              << text.toStdString() << " (" << reason << ")\n";
    services_.boxes.showMessage(nullptr, text, caption);
}

void CScanWedgeApp::requestQuit() {
    quitRequested_ = true;
    QMetaObject::invokeMethod(
        qApp, [] { QCoreApplication::exit(kFailureExitCode); }, Qt::QueuedConnection);
}

void CScanWedgeApp::exitHook() { aimOffOnExit(state_); }

void CScanWedgeApp::endRun() { endSession(state_); }

}  // namespace qm::ui
