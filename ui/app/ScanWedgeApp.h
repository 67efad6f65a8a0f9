#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <ostream>

#include "ui/app/MainDialog.h"
#include "ui/app/MainFrame.h"

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

    bool quitRequested() const { return quitRequested_; }
    CMainFrame* frame() const { return frame_.get(); }
    CMainDlg* mainDialog() const { return mainDialog_; }

    // Set before startUp.
    std::function<void(QWidget* parent)> runBarCodeSetup;
    std::function<void()> triggerKeysChanged;

signals:
    void progressDialogCreated(qm::ui::CProgressDlg* dialog);

private:
    bool takeSingleInstance();
    void openEngine();
    void startScanningThread();
    void showMainDialog();
    std::string workingProfileFault(const std::string& reason) const;
    bool restoreChosen(const std::string& reason);
    bool prepareEngineAgain(ProgressDialogFactory& dialogs);
    // A box with `text`; standard error also gets the reason.
    void fail(const QString& text, const QString& caption, const std::string& reason);
    // The same with the reason in the box too.
    void failWithReason(const QString& text, const QString& caption, const std::string& reason);
    void requestQuit();

    ProcessState& state_;
    UiServices& services_;
    std::unique_ptr<CMainFrame> frame_;
    QPointer<CMainDlg> mainDialog_;
    std::unique_ptr<NamedMutex> instance_;
    std::ostream* log_ = nullptr;
    bool quitRequested_ = false;
    // While the run goes on: an engine unplugged and plugged back in is brought back.
    std::unique_ptr<EngineReconnect> reconnect_;
};

}  // namespace qm::ui
