#include "ui/app/PanelIcon.h"

#include <QFileInfo>
#include <QIcon>

namespace qm::ui {

namespace {

constexpr int kIconSide = 64;

QIcon iconFor(bool working) {
    const QIcon shipped(":/icons/128.png");
    if (working) return shipped;
    // Greyed, as the desktop draws what is switched off.
    return QIcon(shipped.pixmap(kIconSide, QIcon::Disabled));
}

QString portName(const QString& port) { return QFileInfo(port).fileName(); }

QAction* addCommand(QMenu& menu, const QString& text, const std::function<void()>& command) {
    QAction* action = menu.addAction(text);
    if (command)
        QObject::connect(action, &QAction::triggered, &menu, [command] { command(); });
    else
        action->setEnabled(false);
    return action;
}

}  // namespace

PanelIcon::PanelIcon(std::function<PanelStatus()> status, Commands commands, QObject* parent)
    : QObject(parent), status_(std::move(status)) {
    addCommand(menu_, "Begin Scan", commands.beginScan);
    addCommand(menu_, "Bar Code Setup", commands.barCodeSetup);
    menu_.addSeparator();
    port_ = addCommand(menu_, "Serial Port...", commands.serialPort);
    menu_.addSeparator();
    addCommand(menu_, "Exit", commands.exit);
    icon_.setContextMenu(&menu_);
    if (commands.activated)
        connect(&icon_, &QSystemTrayIcon::activated, this,
                [activated = commands.activated](auto why) {
                    if (why == QSystemTrayIcon::Trigger) activated();
                });
    connect(&poll_, &QTimer::timeout, this, [this] { refresh(); });
    poll_.start(kStatusPoll);
    refresh();
    icon_.show();
}

bool PanelIcon::panelAvailable() { return QSystemTrayIcon::isSystemTrayAvailable(); }

void PanelIcon::refresh() {
    const PanelStatus now = status_();
    if (everShown_ && now == shown_) return;
    show(now);
}

void PanelIcon::show(const PanelStatus& status) {
    const bool working =
        status.scanningEnabled && status.engineConnected && status.decodesDelivered;
    if (!everShown_ ||
        working != (shown_.scanningEnabled && shown_.engineConnected && shown_.decodesDelivered))
        icon_.setIcon(iconFor(working));
    icon_.setToolTip(tooltipOf(status));
    port_->setText(status.port.isEmpty() ? QStringLiteral("Serial Port...")
                                         : "Serial Port: " + portName(status.port) + "...");
    shown_ = status;
    everShown_ = true;
}

QString PanelIcon::tooltipOf(const PanelStatus& status) {
    QStringList lines{QStringLiteral("Quillmark")};
    lines << (status.scanningEnabled ? "Scanning on" : "Scanning paused");
    const QString port = status.port.isEmpty() ? QString() : " (" + portName(status.port) + ")";
    lines << (status.scannerGone       ? "Scanner disconnected" + port
              : status.engineConnected ? "Engine connected" + port
                                       : "Engine not connected" + port);
    if (!status.delivery.isEmpty()) lines << status.delivery;
    if (!status.triggerKeys.isEmpty()) lines << status.triggerKeys;
    return lines.join('\n');
}

}  // namespace qm::ui
