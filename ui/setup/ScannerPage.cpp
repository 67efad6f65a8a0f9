#include "ui/setup/ScannerPage.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "session/ScannerChoice.h"
#include "session/ScannerTests.h"
#include "session/TimeChange.h"
#include "session/TwoButtonChange.h"
#include "settings/TimeTable.h"
#include "state/ProcessState.h"
#include "ui/DropDownList.h"
#include "ui/UiServices.h"
#include "ui/UpDownControl.h"
#include "ui/setup/CatalogueBinding.h"
#include "ui/setup/HelpDialog.h"
#include "ui/setup/ScanDataBox.h"

namespace qm::ui {

namespace {

constexpr int kTemplate = 143;
constexpr int kTargetTimeLabel = 1071;
constexpr int kTargetTime = 1014;
constexpr int kTargetSpin = 1030;
constexpr int kTarget = 1022;
constexpr int kScanTime = 1012;
constexpr int kScanSpin = 1029;
constexpr int kScan = 1021;
constexpr int kScanData = 1025;
constexpr int kScanAngle = 1038;
constexpr int kReadLevel = 1006;
constexpr int kHelp = 1066;

QString qText(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

CScannerPage::CScannerPage(ProcessState& state, StatusLine* status, UiServices& services,
                           QWidget* parent)
    : SetupPage(kTemplate, state, status, services, parent) {
    for (int spin : {kScanSpin, kTargetSpin}) item<UpDownControl>(spin)->setRange(0, kLongestTime);
    item<QLineEdit>(kScanData)->setText(QStringLiteral("Waiting to scan..."));
    QObject::connect(item<UpDownControl>(kScanSpin), &UpDownControl::stepRequested, this,
                     [this](int p, int d) { scanTimeStep(p, d); });
    QObject::connect(item<UpDownControl>(kTargetSpin), &UpDownControl::stepRequested, this,
                     [this](int p, int d) { targetTimeStep(p, d); });
    onEvent(item<QLineEdit>(kScanTime), &QLineEdit::editingFinished, [this] { scanTimeTyped(); });
    onEvent(item<QPushButton>(kScan), &QPushButton::clicked, [this] { scanTest(); });
    onEvent(item<QPushButton>(kTarget), &QPushButton::clicked,
            [this] { runEngineWork([this] { runAimingTest(state_); }); });
    QObject::connect(item<DropDownList>(kScanAngle), &DropDownList::listClosed, this,
                     [this] { scanAngleClosed(); });
    QObject::connect(item<DropDownList>(kReadLevel), &DropDownList::listClosed, this,
                     [this] { readLevelClosed(); });
    onEvent(item<QPushButton>(kHelp), &QPushButton::clicked,
            [this] { makeHelpDialog(window())->exec(); });
    bindCatalogueControls(this, kTemplate, state_, status_, services_);
}

void CScannerPage::fill(const ScanSettings& settings) {
    auto* angle = item<QComboBox>(kScanAngle);
    angle->setCurrentIndex(angle->findText(qText(settings.scanAngleText)));
    fillCatalogueControls(this, settings);
    item<QComboBox>(kReadLevel)->setCurrentIndex(settings.consecutiveReadIndex);
    item<UpDownControl>(kScanSpin)->setPosition(settings.scanTimeIndex);
    item<UpDownControl>(kTargetSpin)->setPosition(settings.targetTimeIndex);
    showTimes();
}

void CScannerPage::showTimes() {
    item<QLineEdit>(kScanTime)->setText(qText(state_.scanSettings.scanTimeText));
    item<QLineEdit>(kTargetTime)->setText(qText(state_.scanSettings.targetTimeText));
}

void CScannerPage::showTwoButtonControls(bool on) {
    item<QWidget>(kTarget)->setVisible(on);
    item<QWidget>(kTargetTimeLabel)->setEnabled(!on);
    item<QWidget>(kTargetSpin)->setVisible(!on);
    item<QWidget>(kTargetTime)->setVisible(!on);
}

void CScannerPage::scanTimeStep(int position, int delta) {
    runEngineWork([&] { stepScanTime(state_, status_, position, delta); });
    showTimes();
}

void CScannerPage::targetTimeStep(int position, int delta) {
    runEngineWork([&] { stepTargetTime(state_, status_, position, delta); });
    showTimes();
}

// A time typed into the scan time box counts once it is one the spin could show; anything
// else is put back, so the box, the file and the engine never disagree.
void CScannerPage::scanTimeTyped() {
    const std::string typed = item<QLineEdit>(kScanTime)->text().trimmed().toStdString();
    if (const std::optional<int> time = typedScanTime(state_, typed)) {
        runEngineWork([&] { setScanTime(state_, status_, *time); });
        item<UpDownControl>(kScanSpin)->setPosition(*time);
    }
    showTimes();
}

void CScannerPage::scanTest() {
    ScanDataBox box(item<QLineEdit>(kScanData), services_.queue);
    runEngineWork([&] { runScanTest(state_, box); });
    showTimes();
}

void CScannerPage::scanAngleClosed() {
    const std::string text = item<QComboBox>(kScanAngle)->currentText().toStdString();
    runEngineWork([&] { chooseScanAngle(state_, status_, text); });
}

void CScannerPage::readLevelClosed() {
    const int index = item<QComboBox>(kReadLevel)->currentIndex();
    runEngineWork([&] { chooseConsecutiveReadLevel(state_, status_, index); });
}

}  // namespace qm::ui
