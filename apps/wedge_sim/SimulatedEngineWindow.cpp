#include "apps/wedge_sim/SimulatedEngineWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "apps/wedge_sim/VirtualKeys.h"
#include "platform/sim/SimEngineSymbology.h"
#include "state/ProcessState.h"
#include "ui/app/PopupFeedback.h"

namespace qm::app {

namespace {

constexpr int kSymbologyCount = static_cast<int>(sim::Symbology::RssExpanded) + 1;

QString describe(const std::optional<sim::Barcode>& barcode) {
    if (!barcode) return "Nothing in front of the engine: a scan is a no-read.";
    const auto& info = sim::symbologyInfo(barcode->symbology);
    return QString("In front of the engine: %1 \"%2\"")
        .arg(QString::fromUtf8(info.name.data(), static_cast<qsizetype>(info.name.size())),
             QString::fromStdString(barcode->data));
}

// The dialog that asks for a bar code; it takes the focus because it needs typing.
std::optional<std::optional<sim::Barcode>> askForBarcode(QWidget* owner,
                                                         const std::optional<sim::Barcode>& now) {
    QDialog dialog(owner);
    dialog.setWindowTitle("Bar code in front of the engine");
    auto* form = new QFormLayout(&dialog);
    auto* nothing = new QCheckBox("&Nothing (a no-read)", &dialog);
    auto* symbology = new QComboBox(&dialog);
    for (int i = 0; i < kSymbologyCount; ++i) {
        const auto name = sim::symbologyInfo(static_cast<sim::Symbology>(i)).name;
        symbology->addItem(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    }
    auto* data = new QLineEdit(&dialog);
    nothing->setChecked(!now);
    if (now) {
        symbology->setCurrentIndex(static_cast<int>(now->symbology));
        data->setText(QString::fromStdString(now->data));
    }
    form->addRow(nothing);
    form->addRow("&Symbology:", symbology);
    form->addRow("&Data:", data);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    if (nothing->isChecked() || data->text().isEmpty()) return std::optional<sim::Barcode>{};
    return std::optional<sim::Barcode>{sim::Barcode{
        static_cast<sim::Symbology>(symbology->currentIndex()), data->text().toStdString()}};
}

}  // namespace

SimulatedEngineWindow::SimulatedEngineWindow(sim::SimEngine& engine, VirtualKeys& keys,
                                             ProcessState& state)
    : engine_(engine), keys_(keys), state_(state) {
    setWindowTitle("Simulated engine");
    ui::keepFocusElsewhere(this);
    auto* layout = new QVBoxLayout(this);
    shown_ = new QLabel(this);
    shown_->setWordWrap(true);
    layout->addWidget(shown_);
    auto* choose = new QPushButton("Bar code...", this);
    choose->setFocusPolicy(Qt::NoFocus);
    connect(choose, &QPushButton::clicked, this, &SimulatedEngineWindow::chooseBarcode);
    layout->addWidget(choose);
    scan_ = holdButton("Scan key", true);
    layout->addWidget(scan_);
    layout->addWidget(holdButton("Target key", false));
    place(std::nullopt);
}

QPushButton* SimulatedEngineWindow::holdButton(const QString& text, bool scanKey) {
    auto* button = new QPushButton(text, this);
    button->setFocusPolicy(Qt::NoFocus);
    const auto hold = [this, scanKey](bool down) {
        scanKey ? holdScanKey(down) : holdTargetKey(down);
    };
    connect(button, &QPushButton::pressed, this, [hold] { hold(true); });
    connect(button, &QPushButton::released, this, [hold] { hold(false); });
    return button;
}

void SimulatedEngineWindow::place(const std::optional<sim::Barcode>& barcode) {
    barcode_ = barcode;
    if (barcode)
        engine_.placeBarcode(*barcode);
    else
        engine_.removeBarcode();
    shown_->setText(describe(barcode));
}

void SimulatedEngineWindow::holdScanKey(bool down) {
    keys_.setDown(state_.linkSettings.scanKey(), down);
}

void SimulatedEngineWindow::holdTargetKey(bool down) {
    if (const uint8_t target = state_.linkSettings.targetKey()) keys_.setDown(target, down);
}

void SimulatedEngineWindow::chooseBarcode() {
    if (const auto chosen = askForBarcode(this, barcode_)) place(*chosen);
}

}  // namespace qm::app
