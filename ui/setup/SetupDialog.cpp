#include "ui/setup/SetupDialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "session/SetupSession.h"
#include "session/StatusLine.h"
#include "state/ProcessState.h"
#include "ui/ControlHandlers.h"
#include "ui/ControlLookup.h"
#include "ui/MessageBoxes.h"
#include "ui/ProgramLog.h"
#include "ui/TemplateBuilder.h"
#include "ui/TemplateLoader.h"
#include "ui/UiServices.h"
#include "ui/setup/CodeTypePage.h"
#include "ui/setup/DataFormatPage.h"
#include "ui/setup/DefaultsPage.h"
#include "ui/setup/ScannerPage.h"
#include "ui/setup/SetupStatusLine.h"
#include "ui/setup/UserPage.h"
#include "ui/setup/WindowPlacement.h"

namespace qm::ui {

namespace {
constexpr int kTemplate = 129;
constexpr int kExitSetup = 1024;
constexpr int kTabs = 1027;
constexpr int kStatus = 1039;
const QString kReady = QStringLiteral("Ready...");
const QString kBoxCaption = QStringLiteral("Quillmark");
const QString kNotSaved = QStringLiteral(
    "Failed to save settings.\n\nThe settings in use last only until Quillmark ends.");
}  // namespace

CSetupDlg::CSetupDlg(ProcessState& state, UiServices& services, QWidget* parent)
    : QDialog(parent), state_(state), services_(services) {
    buildInto(this, requireTemplate(kTemplate));
    setModal(true);
    auto* status = controlAs<QLineEdit>(this, kStatus);
    status->setText(kReady);
    status_ = std::make_unique<SetupStatusLine>(status, services_.queue);
    placeOverOwner(this, parent);
    createPages();
    if (const auto unreadable = openSetup(state_)) {
        logFailure(services_.log, *unreadable);
        services_.boxes.showMessage(parent, QString::fromStdString(*unreadable), kBoxCaption,
                                    BoxIcon::Exclamation);
    }
    applySettingsToPages();
    auto* exit = controlAs<QPushButton>(this, kExitSetup);
    QObject::connect(exit, &QPushButton::clicked, this,
                     [this, exit] { runHandler(exit, [this] { exitSetup(); }); });
}

CSetupDlg::~CSetupDlg() = default;

void CSetupDlg::createPages() {
    tabs_ = std::make_unique<CPageTabCtrl>(controlAs<QTabWidget>(this, kTabs));
    StatusLine* status = status_.get();
    user_ = new CUserPage(state_, status, services_);
    tabs_->addPage(user_, QStringLiteral("User"));
    scanner_ = new CScannerPage(state_, status, services_);
    tabs_->addPage(scanner_, QStringLiteral("Scanner"));
    dataFormat_ = new CDataFormatPage(state_, status, services_);
    tabs_->addPage(dataFormat_, QStringLiteral("Data Format"));
    codeType_ = new CCodeTypePage(state_, status, services_);
    tabs_->addPage(codeType_, QStringLiteral("Code Type"));
    defaults_ = new CDefaultsPage(state_, status, services_);
    tabs_->addPage(defaults_, QStringLiteral("Defaults"));
    user_->onTwoButtonChanged = [this](bool on) { scanner_->showTwoButtonControls(on); };
    codeType_->onSetup = [this] {
        if (onAdditionalSetup) onAdditionalSetup();
    };
}

StatusLine& CSetupDlg::statusLine() { return *status_; }

// Also shows the controls that follow two-button control and the format: a profile loaded
// while the dialog is open may change either.
int CSetupDlg::applySettingsToPages() {
    const ScanSettings& settings = state_.scanSettings;
    user_->fill(settings);
    scanner_->fill(settings);
    dataFormat_->fill(settings);
    codeType_->fill(settings);
    controlAs<QLineEdit>(this, kStatus)->setText(kReady);
    showTwoButtonControls(settings.twoButtonControl != 0);
    dataFormat_->updateFormatControls();
    return 1;
}

void CSetupDlg::showTwoButtonControls(bool on) {
    user_->showTwoButtonControls(on);
    scanner_->showTwoButtonControls(on);
}

bool CSetupDlg::exitSetup() {
    const SetupExit exit = leaveSetup(state_);
    if (exit.sameKeys) {
        services_.boxes.showMessage(this,
                                    QStringLiteral("Scan Key & Target Key\nmust not be the same."),
                                    QStringLiteral("Scan Key Error"));
        return false;
    }
    if (!exit.saved)
        services_.boxes.showMessage(this, kNotSaved, kBoxCaption, BoxIcon::Exclamation);
    QDialog::reject();
    return true;
}

// Escape and the window's close button both end here.
void CSetupDlg::reject() {
    runHandler(this, [this] { exitSetup(); });
}

}  // namespace qm::ui
