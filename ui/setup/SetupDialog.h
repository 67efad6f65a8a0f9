#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "ui/setup/PageTabCtrl.h"

namespace qm {
struct ProcessState;
class StatusLine;
}  // namespace qm

namespace qm::ui {

struct UiServices;
class CUserPage;
class CScannerPage;
class CDataFormatPage;
class CCodeTypePage;
class CDefaultsPage;
class SetupStatusLine;

// "Bar Code Setup": five pages whose every change goes to the engine and the active profile
// at once, and the status line they report in. Run modally while scanning is paused.
class CSetupDlg : public QDialog {
public:
    CSetupDlg(ProcessState& state, UiServices& services, QWidget* parent = nullptr);
    ~CSetupDlg() override;

    // Code Type's "Setup": the Additional Parameter Setup dialog; null does nothing.
    std::function<void()> onAdditionalSetup;

    // Where setting changes report, from any thread, while the dialog lives.
    StatusLine& statusLine();

    // Every page from the settings, the status back to "Ready...". GUI thread only. Returns 1.
    int applySettingsToPages();

    // "Exit Setup" and the close request: end the dialog unless two-button control has the
    // same key for scan and target. True when it ended.
    bool exitSetup();

    CPageTabCtrl& tabControl() { return *tabs_; }
    CUserPage& userPage() { return *user_; }
    CScannerPage& scannerPage() { return *scanner_; }
    CDataFormatPage& dataFormatPage() { return *dataFormat_; }
    CCodeTypePage& codeTypePage() { return *codeType_; }
    CDefaultsPage& defaultsPage() { return *defaults_; }

    void reject() override;

private:
    void createPages();
    void showTwoButtonControls(bool on);

    ProcessState& state_;
    UiServices& services_;
    std::unique_ptr<SetupStatusLine> status_;
    std::unique_ptr<CPageTabCtrl> tabs_;
    CUserPage* user_ = nullptr;
    CScannerPage* scanner_ = nullptr;
    CDataFormatPage* dataFormat_ = nullptr;
    CCodeTypePage* codeType_ = nullptr;
    CDefaultsPage* defaults_ = nullptr;
};

}  // namespace qm::ui
