#include "ui/setup/UserPage.h"

#include <QCheckBox>
#include <QLabel>

#include "session/SettingChange.h"
#include "session/TriggerKeyChange.h"
#include "session/TwoButtonChange.h"
#include "state/ProcessState.h"
#include "ui/ControlHandlers.h"
#include "ui/DropDownList.h"

namespace qm::ui {

namespace {

constexpr int kTemplate = 139;
constexpr int kTwoButton = 1003;
constexpr int kScanKey = 1004;
constexpr int kTargetKey = 1005;
constexpr int kTargetKeyLabel = 1063;

std::string textOf(const QComboBox* list) { return list->currentText().toStdString(); }

void showText(QComboBox* list, const std::string& text) {
    list->setCurrentIndex(list->findText(QString::fromStdString(text)));
}

}  // namespace

CUserPage::CUserPage(ProcessState& state, StatusLine* status, UiServices& services, QWidget* parent)
    : SetupPage(kTemplate, state, status, services, parent) {
    // Offered on the page rather than only through profile files (see the dialog's notes).
    auto* twoButton = item<QCheckBox>(kTwoButton);
    twoButton->show();
    twoButton->setEnabled(true);
    item<QWidget>(kTargetKeyLabel)->show();
    QObject::connect(twoButton, &QCheckBox::clicked, this, [this, twoButton](bool on) {
        runHandler(twoButton, [this, on] { twoButtonClicked(on); });
    });
    QObject::connect(item<DropDownList>(kScanKey), &DropDownList::listClosed, this,
                     [this] { scanKeyClosed(); });
    QObject::connect(item<DropDownList>(kTargetKey), &DropDownList::listClosed, this,
                     [this] { targetKeyClosed(); });
    bindFeedbackFlag(1008, "beepOnGoodRead");
    bindFeedbackFlag(1009, "beepOnNoRead");
    bindFeedbackFlag(1020, "visualOnGoodRead");
    bindFeedbackFlag(1019, "visualOnNoRead");
}

void CUserPage::bindFeedbackFlag(int id, std::string_view field) {
    auto* box = item<QCheckBox>(id);
    QObject::connect(box, &QCheckBox::clicked, this, [this, box, field](bool ticked) {
        runHandler(box, [this, field, ticked] {
            runEngineWork([&] { changeFeedbackFlag(state_, status_, field, ticked); });
        });
    });
}

void CUserPage::fill(const ScanSettings& settings) {
    showKeyNames();
    item<QCheckBox>(kTwoButton)->setChecked(settings.twoButtonControl != 0);
    item<QCheckBox>(1008)->setChecked(settings.beepOnGoodRead != 0);
    item<QCheckBox>(1009)->setChecked(settings.beepOnNoRead != 0);
    item<QCheckBox>(1020)->setChecked(settings.visualOnGoodRead != 0);
    item<QCheckBox>(1019)->setChecked(settings.visualOnNoRead != 0);
}

void CUserPage::showKeyNames() {
    showText(item<QComboBox>(kScanKey), state_.scanSettings.scanKeyName);
    showText(item<QComboBox>(kTargetKey), state_.scanSettings.targetKeyName);
}

void CUserPage::showTwoButtonControls(bool on) {
    auto* targetKey = item<QWidget>(kTargetKey);
    targetKey->setVisible(on);
    targetKey->setEnabled(on);
    item<QWidget>(kTargetKeyLabel)->setEnabled(on);
}

bool CUserPage::twoButtonControl() const { return item<QCheckBox>(kTwoButton)->isChecked(); }

void CUserPage::scanKeyClosed() {
    if (chooseScanKey(state_, status_, textOf(item<QComboBox>(kScanKey))) == KeyChoice::Refused) {
        showKeyNames();
        showMessage(QStringLiteral("Cannot be duplicate of Target Key."),
                    QStringLiteral("Scan Key Error"));
    }
    showKeyNames();
}

void CUserPage::targetKeyClosed() {
    if (chooseTargetKey(state_, status_, textOf(item<QComboBox>(kTargetKey))) ==
        KeyChoice::Refused) {
        showKeyNames();
        showMessage(QStringLiteral("Cannot be duplicate of Scan Key."),
                    QStringLiteral("Target Key Error"));
    }
    showKeyNames();
}

void CUserPage::twoButtonClicked(bool on) {
    showTwoButtonControls(on);
    if (onTwoButtonChanged) onTwoButtonChanged(on);
    const ScanSettings& settings = state_.scanSettings;
    if (on && settings.scanKeyName == settings.targetKeyName) {
        showMessage(QStringLiteral("Target Key must not be\nduplicate of Scan Key."),
                    QStringLiteral("Scan Key Error"));
    }
    runEngineWork([&] { changeTwoButtonControl(state_, status_, on); });
}

}  // namespace qm::ui
