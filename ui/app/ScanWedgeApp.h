#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <ostream>

#include "ui/MessageBoxes.h"
#include "ui/app/MainDialog.h"
#include "ui/app/MainFrame.h"
#include "ui/app/PanelIcon.h"
#include "ui/app/PortChoice.h"

namespace qm {
struct ProcessState;
class NamedMutex;
class ProgressDialogFactory;
}  // namespace qm

namespace qm::ui {

struct UiServices;
class CProgressDlg;
class EngineReconnect;

// The application object: start-up from the frame to scanning, and the exit hook.
class CScanWedgeApp : public QObject {
    Q_OBJECT
public:
    static constexpr int kFailureExitCode = 1;
    static constexpr int kSerialPortCommand = 32775;

    CScanWedgeApp(ProcessState& state, UiServices& services);
    ~CScanWedgeApp() override;

    // Runs start-up to the shown main dialog with ScanningEnabled 1. A quit it requests takes
    // effect once the event loop runs. Failures shown in boxes are also written to `log`
    // (the services' log when null).
    void startUp(std::ostream* log = nullptr);
    // The aiming beam off, on the way out of the event loop.
    void exitHook();
    // The orderly end: the scanning thread stopped and the port closed.
    void endRun();

    // "Serial Port...": the engine lets go of its port, the user chooses one (the same,
    // another, or none), and the engine is initialised again on what was chosen.
    void changePort(QWidget* parent);

    bool quitRequested() const { return quitRequested_; }
    CMainFrame* frame() const { return frame_.get(); }
    CMainDlg* mainDialog() const { return mainDialog_; }
    PanelIcon* panelIcon() const { return panel_.get(); }

    // Set before startUp.
    std::function<void(QWidget* parent)> runBarCodeSetup;
    std::function<void()> triggerKeysChanged;
    PortChoice portChoice;                     // none on the simulated handheld
    std::function<PanelStatus()> panelStatus;  // where a panel shows icons, its icon shows this
    bool showWindows = true;                   // false: neither frame nor main dialog is shown

signals:
    void progressDialogCreated(qm::ui::CProgressDlg* dialog);

private:
    enum class Moment { StartUp, Running };

    bool takeSingleInstance();
    void openEngine();
    bool tryOpenEngine(ProgressDialogFactory* dialogs, Moment moment);
    bool offerAnotherPort(const std::string& reason, Moment moment);
    bool chooseAndKeepPort(QWidget* parent);
    std::string portFault(const std::string& reason) const;
    void startScanningThread();
    void showMainDialog();
    void wireFrameCommands();
    void showPanelIcon();
    void whenIdle(const std::function<void()>& command);
    void clickMainDialog(int id);
    std::string workingProfileFault(const std::string& reason) const;
    bool restoreChosen(const std::string& reason);
    bool prepareEngineAgain(ProgressDialogFactory* dialogs);
    // The boxes of start-up without windows are answered at once; the rest are shown.
    MessageBoxes& boxes();
    bool boxesUnseen() const;
    // A box with `text`; standard error also gets the reason.
    void fail(const QString& text, const QString& caption, const std::string& reason);
    // The same with the reason in the box too.
    void failWithReason(const QString& text, const QString& caption, const std::string& reason);
    void requestQuit();

    ProcessState& state_;
    UiServices& services_;
    std::unique_ptr<CMainFrame> frame_;
    QPointer<CMainDlg> mainDialog_;
    std::unique_ptr<PanelIcon> panel_;
    std::unique_ptr<NamedMutex> instance_;
    UnseenBoxes unseen_;
    std::ostream* log_ = nullptr;
    bool quitRequested_ = false;
    bool startingUp_ = false;
    // While the run goes on: an engine unplugged and plugged back in is brought back.
    std::unique_ptr<EngineReconnect> reconnect_;
};

}  // namespace qm::ui
