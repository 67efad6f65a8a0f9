#pragma once

#include <QWidget>
#include <functional>

namespace qm {
struct ProcessState;
}

class QPushButton;

namespace qm::ui {

struct UiServices;

// What the main dialog's buttons reach outside the dialog itself.
struct MainDialogHooks {
    // Runs the Bar Code Setup dialog modally over `parent`.
    std::function<void(QWidget* parent)> runBarCodeSetup;
    std::function<void()> minimiseFrame;
    // After setup: the trigger keys may be others now.
    std::function<void()> triggerKeysChanged;
    // The parent of the burn's progress dialog, and who hears of it.
    QWidget* progressParent = nullptr;
    std::function<void(class CProgressDlg&)> progressCreated;
};

class DeliveryLines;

// The main dialog: "Begin Scan", "Bar Code Setup", "Exit", and the two service buttons shown
// only in service mode; under them, when the services know it, how decodes and trigger presses
// travel.
class CMainDlg : public QWidget {
public:
    static constexpr int kBeginScan = 1060;
    static constexpr int kBarCodeSetup = 1059;
    static constexpr int kExit = 1065;
    static constexpr int kBurnDefaults = 1083;
    static constexpr int kTurnScanner = 1084;

    CMainDlg(ProcessState& state, UiServices& services, MainDialogHooks hooks,
             QWidget* parent = nullptr);

private:
    void addDeliveryLines();
    void fitDeliveryLines();
    void connectButton(int id, void (CMainDlg::*handler)());
    void beginScan();
    void barCodeSetup();
    void exitWedge();
    void burnDefaults();
    void turnScanner();

    ProcessState& state_;
    UiServices& services_;
    MainDialogHooks hooks_;
    QSize buttonsSize_;
    DeliveryLines* lines_ = nullptr;
};

}  // namespace qm::ui
