#pragma once

#include <QMenu>
#include <QObject>
#include <QString>
#include <QSystemTrayIcon>
#include <QTimer>
#include <chrono>
#include <functional>

namespace qm::ui {

// What the panel icon shows.
struct PanelStatus {
    bool scanningEnabled = false;
    bool engineConnected = false;
    bool scannerGone = false;  // its device unplugged
    bool decodesDelivered = false;
    QString port;         // the device the engine is on, empty where none is chosen
    QString delivery;     // a sentence: how decodes are typed, or why they cannot be
    QString triggerKeys;  // a sentence: how the trigger keys come in
    bool operator==(const PanelStatus&) const = default;
};

// The wedge's icon in the desktop's panel (a StatusNotifierItem where the panel reads those,
// the older tray elsewhere): whether scanning is on, the engine connected and decodes
// delivered, in its picture and tooltip, and a menu with "Begin Scan", "Bar Code Setup", the
// port and "Exit". Lives on the GUI thread.
class PanelIcon : public QObject {
public:
    static constexpr std::chrono::milliseconds kStatusPoll{1000};

    struct Commands {
        std::function<void()> beginScan;
        std::function<void()> barCodeSetup;
        std::function<void()> serialPort;  // none: the port entry only tells
        std::function<void()> exit;
        std::function<void()> activated;  // a click on the icon itself
    };

    PanelIcon(std::function<PanelStatus()> status, Commands commands, QObject* parent = nullptr);

    // Whether a panel shows such icons now.
    static bool panelAvailable();

    // Reads the status and shows what changed; it is also read every kStatusPoll.
    void refresh();

    QSystemTrayIcon& icon() { return icon_; }
    QMenu& menu() { return menu_; }

    static QString tooltipOf(const PanelStatus& status);

private:
    void show(const PanelStatus& status);

    std::function<PanelStatus()> status_;
    QMenu menu_;
    QAction* port_;
    QSystemTrayIcon icon_;
    QTimer poll_;
    PanelStatus shown_;
    bool everShown_ = false;
};

}  // namespace qm::ui
