#include "ui/app/MainDialog.h"

#include <QCoreApplication>
#include <QPushButton>

#include "session/ScanningControl.h"
#include "session/ServiceCommands.h"
#include "session/StartUp.h"
#include "state/ProcessState.h"
#include "ui/BusyWork.h"
#include "ui/ControlLookup.h"
#include "ui/MessageBoxes.h"
#include "ui/TemplateBuilder.h"
#include "ui/TemplateLoader.h"
#include "ui/UiServices.h"
#include "ui/WedgeTexts.h"
#include "ui/app/DeliveryLines.h"
#include "ui/app/QueuedProgress.h"

namespace qm::ui {

namespace {

QString qtText(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

CMainDlg::CMainDlg(ProcessState& state, UiServices& services, MainDialogHooks hooks,
                   QWidget* parent)
    : QWidget(parent), state_(state), services_(services), hooks_(std::move(hooks)) {
    buildInto(this, requireTemplate(137));
    setWindowFlags(Qt::Widget);
    connectButton(kBeginScan, &CMainDlg::beginScan);
    connectButton(kBarCodeSetup, &CMainDlg::barCodeSetup);
    connectButton(kExit, &CMainDlg::exitWedge);
    connectButton(kBurnDefaults, &CMainDlg::burnDefaults);
    connectButton(kTurnScanner, &CMainDlg::turnScanner);
    const bool service = state_.ServiceMode != 0;
    control(this, kBurnDefaults)->setVisible(service);
    control(this, kTurnScanner)->setVisible(service);
    buttonsSize_ = size();
    addDeliveryLines();
}

void CMainDlg::addDeliveryLines() {
    if (!services_.delivery) return;
    lines_ = new DeliveryLines(*services_.delivery, this);
    connect(lines_, &DeliveryLines::resized, this, &CMainDlg::fitDeliveryLines);
    fitDeliveryLines();
}

// The template's size holds the buttons; the lines take what their texts need below them.
void CMainDlg::fitDeliveryLines() {
    const int height = lines_->heightFor(buttonsSize_.width());
    lines_->setGeometry(0, buttonsSize_.height(), buttonsSize_.width(), height);
    setFixedSize(buttonsSize_.width(), buttonsSize_.height() + height);
    if (QWidget* host = parentWidget()) {
        host->setMinimumSize(size());
        host->window()->adjustSize();
    }
}

void CMainDlg::connectButton(int id, void (CMainDlg::*handler)()) {
    connect(controlAs<QPushButton>(this, id), &QPushButton::clicked, this, handler);
}

void CMainDlg::beginScan() {
    resumeScanning(state_);
    if (hooks_.minimiseFrame) hooks_.minimiseFrame();
}

void CMainDlg::barCodeSetup() {
    // A scan cycle under way ends first (a popup's 1.5 s at most); the window keeps drawing.
    runWhileRepainting(window(), services_.queue, [this] { pauseScanning(state_); });
    if (hooks_.runBarCodeSetup) hooks_.runBarCodeSetup(window());
    resumeScanning(state_);
    if (hooks_.triggerKeysChanged) hooks_.triggerKeysChanged();
}

void CMainDlg::exitWedge() {
    runWhileRepainting(window(), services_.queue, [this] { leaveScanning(state_); });
    QMetaObject::invokeMethod(
        qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

void CMainDlg::burnDefaults() {
    QueuedProgressFactory dialogs(services_.queue, hooks_.progressParent, hooks_.progressCreated);
    BurnOutcome burn;
    runWhileRepainting(window(), services_.queue,
                       [&] { burn = burnDefaultsCommand(state_, dialogs); });
    if (burn.status != 0) {
        services_.boxes.showMessage(window(), "Failed to set Factory Defaults.",
                                    QCoreApplication::applicationName());
        return;
    }
    // The engine holds them now, but the next start loads the working profile's old settings.
    const QString unsaved = burn.workingProfileWritten ? QString()
                                                       : QStringLiteral(
                                                             "\n\nThe working profile could not "
                                                             "be saved: the next start goes back "
                                                             "to the settings saved before.");
    services_.boxes.showMessage(window(), "Defaults burned to scanner." + unsaved,
                                "Factory Defaults");
}

void CMainDlg::turnScanner() {
    const int poweredOn = turnScannerCommand(state_);
    controlAs<QPushButton>(this, kTurnScanner)
        ->setText(qtText(scannerPowerCaption(poweredOn != 0)));
}

}  // namespace qm::ui
