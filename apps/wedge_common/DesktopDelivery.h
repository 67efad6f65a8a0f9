#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "apps/wedge_common/DeliveredKeyboard.h"
#include "apps/wedge_common/DesktopInput.h"
#include "platform/Wakeup.h"
#include "wedge/RemoteTriggerKeys.h"

namespace qm {
class Clock;
struct ProcessState;
}  // namespace qm

namespace qm::desktop {
class GlobalShortcuts;
class RemoteDesktopKeyboard;
class WedgeControlService;
}  // namespace qm::desktop

namespace qm::ui {
class DeliveryStatusBoard;
}

namespace qm::app {

// How decodes leave the wedge and trigger presses come in, on this desktop, for one run: the
// session's typing path (the remote desktop portal among them), the keyboard's trigger keys,
// the control interface on the session bus, the desktop's global shortcuts; and what the main
// dialog says of them, kept current. Lives on the GUI thread; the scanning thread reaches it
// through keyboard() and keys() only.
class DesktopDelivery : public QObject {
    Q_OBJECT
public:
    struct Setup {
        InputChoice choice = InputChoice::Automatic;
        SessionEnvironment environment;
        std::filesystem::path deviceRoot;  // where the portal's restore token is kept
        QString busName;                   // the control interface's
        KeyState* extraKeys = nullptr;     // the simulated handheld's buttons
    };

    // `state` is read only once start-up runs; the board must outlive this.
    DesktopDelivery(Setup setup, QDBusConnection bus, Clock& clock,
                    std::function<ProcessState*()> state, ui::DeliveryStatusBoard& board);
    ~DesktopDelivery() override;

    Keyboard* keyboard() { return &delivered_; }
    KeyState* keys() { return &keys_; }
    linux_platform::X11KeyGrab* grab() { return input_.grab.get(); }

    // Once start-up has loaded the profile: the desktop's shortcuts bound with its trigger keys,
    // and the bus told of the wedge's state as it changes.
    void started();
    void triggerKeysChanged();
    // Before the process state goes.
    void stopped();

    const ui::DeliveryStatusBoard& board() const { return board_; }

private:
    Q_INVOKABLE void refreshControl();
    void openPortalTyping(QDBusConnection bus);
    void portalChanged();
    void publish();
    std::string typingSentence(bool& canType) const;
    std::string triggerSentence(bool& hasTriggers) const;

    Setup setup_;
    QDBusConnection bus_;
    std::function<ProcessState*()> state_;
    ui::DeliveryStatusBoard& board_;
    DesktopInput input_;
    std::unique_ptr<desktop::RemoteDesktopKeyboard> portal_;
    bool portalLetGo_ = false;
    RemoteTriggerKeys remote_;
    DeliveredKeyboard delivered_;
    EitherKeyState keys_;
    std::unique_ptr<desktop::WedgeControlService> control_;
    std::unique_ptr<desktop::GlobalShortcuts> shortcuts_;
    std::optional<Wakeup::Subscription> scanningWatch_;
    std::atomic<int32_t> scanningAnnounced_{-1};
};

}  // namespace qm::app
