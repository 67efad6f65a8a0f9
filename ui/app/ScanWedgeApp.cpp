#include "ui/app/ScanWedgeApp.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLoggingCategory>
#include <QTimer>
#include <optional>
#include <system_error>

#include "platform/NamedMutex.h"
#include "session/RestoreWorkingProfile.h"
#include "session/ScanningControl.h"
#include "session/StartUp.h"
#include "settings/ProfileFiles.h"
#include "state/ProcessState.h"
#include "ui/BusyWork.h"
#include "ui/ControlLookup.h"
#include "ui/MenuBuilder.h"
#include "ui/MessageBoxes.h"
#include "ui/ProgramLog.h"
#include "ui/UiServices.h"
#include "ui/app/DisconnectedLine.h"
#include "ui/app/EngineReconnect.h"
#include "ui/app/PortChooser.h"
#include "ui/app/QueuedProgress.h"

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

constexpr int kIdleRetryMs = 100;

const QString kPortNotOpened = QStringLiteral("CommPort failed to Open!");
const QString kChoosePort = QStringLiteral("Choose Port...");
const QString kChooseOrEnd =
    QStringLiteral("\"Choose Port...\" picks the scanner's serial port. \"OK\" ends Quillmark.");
const QString kChooseOrGoOn = QStringLiteral(
    "\"Choose Port...\" picks the scanner's serial port. \"OK\" goes on without the scanner.");
const std::string kNoWindowToChoose =
    "without a window nobody can choose: start Quillmark once with its window, or give "
    "--port DEVICE";

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
    startingUp_ = true;
    // Without a frame, a dialog opened from the panel is the last window when it closes.
    if (!showWindows) QApplication::setQuitOnLastWindowClosed(false);
    frame_ = std::make_unique<CMainFrame>();
    wireFrameCommands();
    // A second instance must not talk to the engine the first one is driving.
    if (takeSingleInstance()) {
        openEngine();
        startScanningThread();
    }
    if (showWindows) {
        frame_->show();
        frame_->repaint();
    }
    showMainDialog();
    if (!quitRequested_)
        reconnect_ = std::make_unique<EngineReconnect>(
            state_, services_, frame_->view(),
            [this](CProgressDlg& dialog) { emit progressDialogCreated(&dialog); });
    resumeScanning(state_);
    showPanelIcon();
    startingUp_ = false;
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

// A first start, where no port was ever chosen, asks for one before the engine steps.
void CScanWedgeApp::openEngine() {
    if (portChoice.available() && portChoice.current().empty() && !boxesUnseen())
        chooseAndKeepPort(nullptr);
    std::optional<QueuedProgressFactory> dialogs;
    if (showWindows)
        dialogs.emplace(services_.queue, frame_->view(),
                        [this](CProgressDlg& dialog) { emit progressDialogCreated(&dialog); });
    while (tryOpenEngine(dialogs ? &*dialogs : nullptr, Moment::StartUp)) {
    }
}

// True when the user chose another port to try.
bool CScanWedgeApp::tryOpenEngine(ProgressDialogFactory* dialogs, Moment moment) {
    CollectedFailures observer(dialogs);
    runWhileRepainting(nullptr, services_.queue, [&] { openSession(state_, observer); });
    for (const auto& [failure, reason] : observer.failures) {
        if (failure == StartUpFailure::PortNotOpened) {
            if (offerAnotherPort(reason, moment)) return true;
            if (moment == Moment::StartUp) requestQuit();
        } else if (!restoreChosen(workingProfileFault(reason)) || !prepareEngineAgain(dialogs)) {
            requestQuit();
        }
    }
    return false;
}

// The described box, its reason naming the port, with a way to another port beside its OK.
bool CScanWedgeApp::offerAnotherPort(const std::string& reason, Moment moment) {
    const std::string why = portFault(reason);
    if (!portChoice.available()) {
        fail(kPortNotOpened, applicationTitle(), why);
        return false;
    }
    logFailure(log_, kPortNotOpened.toStdString() + " (" + why + ")");
    const QString text = kPortNotOpened + "\n\n" + QString::fromStdString(why) + ".\n\n" +
                         (moment == Moment::StartUp ? kChooseOrEnd : kChooseOrGoOn);
    if (!boxes().offerChoice(nullptr, text, applicationTitle(), kChoosePort)) {
        if (boxesUnseen()) logFailure(log_, kNoWindowToChoose);
        return false;
    }
    return chooseAndKeepPort(nullptr);
}

std::string CScanWedgeApp::portFault(const std::string& reason) const {
    if (!portChoice.available()) return reason;
    const std::string port = portChoice.current();
    if (port.empty()) return "no serial port has been chosen for the scanner yet";
    return port + ": " + reason;
}

bool CScanWedgeApp::chooseAndKeepPort(QWidget* parent) {
    const std::optional<std::string> chosen = choosePort(
        *portChoice.devices, state_.platform.clock, services_.queue, portChoice.current(), parent);
    if (!chosen) return false;
    std::string error;
    if (portChoice.keep(*chosen, error)) return true;
    failWithReason("The serial port could not be kept.", applicationTitle(), error);
    return false;
}

void CScanWedgeApp::changePort(QWidget* parent) {
    if (!portChoice.available()) return;
    // The engine lets go of the port first, so that every port can be tested, this one too.
    runWhileRepainting(nullptr, services_.queue, [this] {
        pauseScanning(state_);
        endSession(state_);
    });
    chooseAndKeepPort(parent);
    QueuedProgressFactory dialogs(services_.queue, frame_->view(), [this](CProgressDlg& dialog) {
        emit progressDialogCreated(&dialog);
    });
    while (tryOpenEngine(&dialogs, Moment::Running)) {
    }
    // Without a port there is nothing to scan with until another is chosen.
    if (state_.link.isOpen()) startScanningThread();
    resumeScanning(state_);
    if (panel_) panel_->refresh();
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
    if (!boxes().offerChoice(nullptr, text, "Error", kUseFactoryDefaults)) {
        if (boxesUnseen())
            logFailure(log_,
                       "without a window nobody can choose \"Use Factory Defaults\": start "
                       "Quillmark once with its window, or move the file aside");
        return false;
    }
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

bool CScanWedgeApp::prepareEngineAgain(ProgressDialogFactory* dialogs) {
    CollectedFailures observer(dialogs);
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
    // Without windows there is no frame to minimise: "Begin Scan" only starts scanning.
    hooks.minimiseFrame = [this] {
        if (frame_->isVisible()) frame_->showMinimized();
    };
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

void CScanWedgeApp::wireFrameCommands() {
    if (QAction* serialPort = menuCommand(frame_.get(), kSerialPortCommand))
        serialPort->setVisible(portChoice.available());
    frame_->viewCommands = [this](int command) {
        if (command != kSerialPortCommand) return false;
        changePort(frame_.get());
        return true;
    };
}

void CScanWedgeApp::showPanelIcon() {
    if (!panelStatus || !PanelIcon::panelAvailable()) return;
    const auto idle = [this](std::function<void()> command) {
        return [this, command = std::move(command)] { whenIdle(command); };
    };
    PanelIcon::Commands commands;
    commands.beginScan = idle([this] { clickMainDialog(CMainDlg::kBeginScan); });
    commands.barCodeSetup = idle([this] { clickMainDialog(CMainDlg::kBarCodeSetup); });
    commands.exit = idle([this] { clickMainDialog(CMainDlg::kExit); });
    if (portChoice.available()) commands.serialPort = idle([this] { changePort(frame_.get()); });
    if (showWindows)
        commands.activated = [this] {
            frame_->showNormal();
            frame_->raise();
            frame_->activateWindow();
        };
    panel_ = std::make_unique<PanelIcon>(panelStatus, std::move(commands));
}

// The panel's menu comes through the session bus, which Qt hands out even while a window is
// modal or engine work runs: a modal window is brought forward instead, and engine work is
// let end first.
void CScanWedgeApp::whenIdle(const std::function<void()>& command) {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
        return;
    }
    if (busyWorkRunning()) {
        QTimer::singleShot(kIdleRetryMs, this, [this, command] { whenIdle(command); });
        return;
    }
    command();
}

// The main dialog's own button, so the panel's entry does exactly what it does.
void CScanWedgeApp::clickMainDialog(int id) {
    if (auto* button = mainDialog_ ? controlAs<QAbstractButton>(mainDialog_, id) : nullptr)
        button->click();
}

MessageBoxes& CScanWedgeApp::boxes() {
    return startingUp_ && !showWindows ? static_cast<MessageBoxes&>(unseen_) : services_.boxes;
}

bool CScanWedgeApp::boxesUnseen() const { return startingUp_ && !showWindows; }

void CScanWedgeApp::fail(const QString& text, const QString& caption, const std::string& reason) {
    logFailure(log_, text.toStdString() + " (" + reason + ")");
    boxes().showMessage(nullptr, text, caption);
}

void CScanWedgeApp::failWithReason(const QString& text, const QString& caption,
                                   const std::string& reason) {
    logFailure(log_, text.toStdString() + " (" + reason + ")");
    boxes().showMessage(nullptr, text + "\n\n" + QString::fromStdString(reason), caption);
}

void CScanWedgeApp::requestQuit() {
    quitRequested_ = true;
    QMetaObject::invokeMethod(
        qApp, [] { QCoreApplication::exit(kFailureExitCode); }, Qt::QueuedConnection);
}

// Scanning stops first: a cycle under way ends, and none starts between the beam going off
// and the port closing.
void CScanWedgeApp::exitHook() {
    state_.ScanningEnabled = 0;
    aimOffOnExit(state_);
}

void CScanWedgeApp::endRun() {
    reconnect_.reset();
    endSession(state_);
}

}  // namespace qm::ui
