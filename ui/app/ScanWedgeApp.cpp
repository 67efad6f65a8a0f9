#include "ui/app/ScanWedgeApp.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <system_error>

#include "platform/NamedMutex.h"
#include "session/RestoreWorkingProfile.h"
#include "session/StartUp.h"
#include "settings/ProfileFiles.h"
#include "state/ProcessState.h"
#include "ui/BusyWork.h"
#include "ui/MessageBoxes.h"
#include "ui/ProgramLog.h"
#include "ui/UiServices.h"
#include "ui/app/DisconnectedLine.h"
#include "ui/app/EngineReconnect.h"
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

const QString kProfileNotLoaded = QStringLiteral("Configuration file failed to load!");
const QString kUseFactoryDefaults = QStringLiteral("Use Factory Defaults");
const QString kWayBack = QStringLiteral(
    "\"Use Factory Defaults\" starts with the factory settings; a file that cannot be read "
    "is kept beside it as LastUser.cfg.unreadable. \"OK\" ends Quillmark.");

// The lock lives in the device root: what stops it stops every save there too.
std::string mutexFailureReason(uint32_t lastError) {
    const std::error_code error(static_cast<int>(lastError), std::generic_category());
    std::string reason = "The device root's lock file cannot be created: " + error.message() + ".";
    if (error == std::errc::read_only_file_system)
        reason += " No setting can be saved there, and a second Quillmark would not be stopped.";
    return reason;
}

}  // namespace

CScanWedgeApp::CScanWedgeApp(ProcessState& state, UiServices& services)
    : state_(state), services_(services) {}

CScanWedgeApp::~CScanWedgeApp() = default;

void CScanWedgeApp::startUp(std::ostream* log) {
    log_ = log ? log : services_.log;
    frame_ = std::make_unique<CMainFrame>();
    // A second instance must not talk to the engine the first one is driving.
    if (takeSingleInstance()) {
        openEngine();
        startScanningThread();
    }
    frame_->show();
    frame_->repaint();
    showMainDialog();
    if (!quitRequested_)
        reconnect_ = std::make_unique<EngineReconnect>(
            state_, services_, frame_->view(),
            [this](CProgressDlg& dialog) { emit progressDialogCreated(&dialog); });
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
    failWithReason(QString("CreateMutex error: %1.").arg(created.lastError), "Error",
                   mutexFailureReason(created.lastError));
    return true;
}

void CScanWedgeApp::openEngine() {
    QueuedProgressFactory dialogs(services_.queue, frame_->view(), [this](CProgressDlg& dialog) {
        emit progressDialogCreated(&dialog);
    });
    CollectedFailures observer(&dialogs);
    runWhileRepainting(nullptr, services_.queue, [&] { openSession(state_, observer); });
    for (const auto& [failure, reason] : observer.failures) {
        if (failure == StartUpFailure::PortNotOpened) {
            fail("CommPort failed to Open!", applicationTitle(), reason);
            requestQuit();
        } else if (!restoreChosen(workingProfileFault(reason)) || !prepareEngineAgain(dialogs)) {
            requestQuit();
        }
    }
}

// The file that failed, then what is wrong with it.
std::string CScanWedgeApp::workingProfileFault(const std::string& reason) const {
    return profileDisplayPath(state_, ProfileFiles[kLastUserProfile]) + ": " + reason;
}

// The described box and its OK, with a way back that needs no text editor beside it.
bool CScanWedgeApp::restoreChosen(const std::string& reason) {
    logFailure(log_, kProfileNotLoaded.toStdString() + " (" + reason + ")");
    const QString text =
        kProfileNotLoaded + "\n\n" + QString::fromStdString(reason) + ".\n\n" + kWayBack;
    if (!services_.boxes.offerChoice(nullptr, text, "Error", kUseFactoryDefaults)) return false;
    const WorkingProfileRestore restore = restoreWorkingProfile(state_);
    if (!restore.restored) {
        failWithReason(kProfileNotLoaded, "Error", restore.fault);
        return false;
    }
    if (restore.aside.kept)
        logFailure(log_,
                   "started with the factory defaults; the working profile that failed is "
                   "kept as " +
                       restore.aside.where);
    return true;
}

bool CScanWedgeApp::prepareEngineAgain(ProgressDialogFactory& dialogs) {
    CollectedFailures observer(&dialogs);
    runWhileRepainting(nullptr, services_.queue,
                       [&] { prepareEngine(state_, observer, ProfileFiles[kLastUserProfile]); });
    for (const auto& failure : observer.failures)
        failWithReason(kProfileNotLoaded, "Error", workingProfileFault(failure.second) + ".");
    return observer.failures.empty();
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
    new DisconnectedLine(mainDialog_, state_, services_.queue, log_);
    frame_->hostDialog(mainDialog_);
    mainDialog_->show();
    mainDialog_->repaint();
}

void CScanWedgeApp::fail(const QString& text, const QString& caption, const std::string& reason) {
    logFailure(log_, text.toStdString() + " (" + reason + ")");
    services_.boxes.showMessage(nullptr, text, caption);
}

void CScanWedgeApp::failWithReason(const QString& text, const QString& caption,
                                   const std::string& reason) {
    logFailure(log_, text.toStdString() + " (" + reason + ")");
    services_.boxes.showMessage(nullptr, text + "\n\n" + QString::fromStdString(reason), caption);
}

void CScanWedgeApp::requestQuit() {
    quitRequested_ = true;
    QMetaObject::invokeMethod(
        qApp, [] { QCoreApplication::exit(kFailureExitCode); }, Qt::QueuedConnection);
}

void CScanWedgeApp::exitHook() { aimOffOnExit(state_); }

void CScanWedgeApp::endRun() {
    reconnect_.reset();
    endSession(state_);
}

}  // namespace qm::ui
