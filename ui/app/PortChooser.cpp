#include "ui/app/PortChooser.h"

#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "session/PortTest.h"
#include "ui/BusyWork.h"
#include "ui/ControlLookup.h"
#include "ui/TemplateBuilder.h"
#include "ui/TemplateLoader.h"

namespace qm::ui {

namespace {

QString entryText(const SerialDevice& device) {
    QString text = QFileInfo(QString::fromStdString(device.device)).fileName() + ": " +
                   QString::fromStdString(device.description);
    if (!device.mayOpen) text += " (no permission)";
    return text;
}

QString sentence(const std::string& words) {
    QString text = QString::fromStdString(words);
    if (!text.isEmpty()) text[0] = text[0].toUpper();
    return text + ".";
}

// A by-id name has no blank to wrap at: its middle gives way, the whole is the tooltip.
QString detailsText(const SerialDevice& device, const QLabel& label) {
    const QString path = label.fontMetrics().elidedText(QString::fromStdString(device.path),
                                                        Qt::ElideMiddle, label.width());
    return path + "\n" +
           (device.mayOpen ? QStringLiteral("You may use it.") : sentence(device.access));
}

}  // namespace

CPortDlg::CPortDlg(SerialDevices& devices, Clock& clock, GuiQueue& queue,
                   const std::string& current, QWidget* parent)
    : QDialog(parent), devices_(devices), clock_(clock), queue_(queue) {
    buildInto(this, requireTemplate(kTemplate));
    auto* list = controlAs<QListWidget>(this, kPortList);
    connect(list, &QListWidget::currentRowChanged, this, [this] { showSelected(); });
    connect(list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(controlAs<QPushButton>(this, kTest), &QPushButton::clicked, this,
            [this] { testSelected(); });
    connect(controlAs<QPushButton>(this, kRefresh), &QPushButton::clicked, this,
            [this] { refresh(); });
    connect(controlAs<QPushButton>(this, kOk), &QPushButton::clicked, this, &QDialog::accept);
    connect(controlAs<QPushButton>(this, kCancel), &QPushButton::clicked, this, &QDialog::reject);
    refresh();
    for (size_t i = 0; i < listed_.size(); ++i)
        if (listed_[i].path == current || listed_[i].device == current)
            list->setCurrentRow(static_cast<int>(i));
    list->setFocus();
}

std::string CPortDlg::chosenPath() const {
    const SerialDevice* device = selected();
    return device ? device->path : std::string();
}

void CPortDlg::refresh() {
    auto* list = controlAs<QListWidget>(this, kPortList);
    const std::string before = chosenPath();
    listed_ = devices_.list();
    list->clear();
    for (const SerialDevice& device : listed_) list->addItem(entryText(device));
    for (size_t i = 0; i < listed_.size(); ++i)
        if (listed_[i].path == before) list->setCurrentRow(static_cast<int>(i));
    setText(kTestResult, {});
    showSelected();
}

void CPortDlg::showSelected() {
    const SerialDevice* device = selected();
    auto* details = controlAs<QLabel>(this, kDetails);
    if (listed_.empty())
        details->setText("No serial device was found. Plug the scanner in, then press Refresh.");
    else
        details->setText(device ? detailsText(*device, *details) : QString());
    details->setToolTip(device ? QString::fromStdString(device->path) : QString());
    setText(kTestResult, {});
    control(this, kTest)->setEnabled(device != nullptr);
    control(this, kOk)->setEnabled(device != nullptr);
}

// The window goes on repainting while the device is asked; a silent one takes a second.
void CPortDlg::testSelected() {
    const SerialDevice* device = selected();
    if (!device) return;
    setText(kTestResult, "Testing...");
    const auto opener = devices_.openerFor(device->path);
    PortTestResult result;
    runWhileRepainting(this, queue_, [&] { result = testPort(clock_, *opener); });
    setText(kTestResult, QString::fromStdString(describePortTest(result)));
}

const SerialDevice* CPortDlg::selected() const {
    const int row = controlAs<QListWidget>(this, kPortList)->currentRow();
    return row >= 0 && row < static_cast<int>(listed_.size()) ? &listed_[size_t(row)] : nullptr;
}

void CPortDlg::setText(int id, const QString& text) { controlAs<QLabel>(this, id)->setText(text); }

std::optional<std::string> choosePort(SerialDevices& devices, Clock& clock, GuiQueue& queue,
                                      const std::string& current, QWidget* parent) {
    CPortDlg dialog(devices, clock, queue, current, parent);
    if (dialog.exec() != QDialog::Accepted || dialog.chosenPath().empty()) return std::nullopt;
    return dialog.chosenPath();
}

}  // namespace qm::ui
