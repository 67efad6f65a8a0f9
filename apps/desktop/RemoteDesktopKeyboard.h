#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "apps/desktop/RestoreTokenFile.h"
#include "platform/Keyboard.h"

namespace qm::desktop {

// Typing through the desktop's RemoteDesktop portal (GNOME, KDE Plasma): a session with the
// keyboard device, then one keysym per key event, so the desktop's own layout makes the
// character. The desktop asks the user once; its restore token, kept in a file, spares the
// question at the next start.
//
// The session is set up on the thread that opened the keyboard (the GUI thread), without ever
// blocking it; inject() runs on the scanning thread and never waits for the other: it sends
// straight onto the bus, and drops (and counts) what comes before the session is ready.
class RemoteDesktopKeyboard : public QObject, public Keyboard {
    Q_OBJECT
public:
    enum class State { Starting, Ready, Refused, Ended };

    // A tap of the left Control key, which no application acts on by itself, goes first: one
    // portal backend loses the first key of a session.
    static constexpr uint32_t kWarmUpKeysym = 0xFFE3;  // Control_L

    // Nothing when the desktop offers no remote desktop keyboard. Otherwise the session is
    // on its way; the desktop may be asking the user.
    static std::unique_ptr<RemoteDesktopKeyboard> open(QDBusConnection bus,
                                                       RestoreTokenFile tokenFile);
    ~RemoteDesktopKeyboard() override;

    void inject(uint8_t virtualKey, uint32_t flags) override;

    State state() const;
    // What keeps it from typing, for the main dialog; empty while ready.
    QString problem() const;
    // Key events dropped because the session was not ready.
    uint64_t droppedEvents() const { return dropped_.load(); }

signals:
    void stateChanged();

private slots:
    void sessionClosed(const QVariantMap& details);

private:
    RemoteDesktopKeyboard(QDBusConnection bus, RestoreTokenFile tokenFile);
    void createSession();
    void selectDevices();
    void start();
    void warmUp();
    void enter(State state, const QString& problem = {});
    bool granted(uint32_t response, const QVariantMap& results, const QString& step);

    QDBusConnection bus_;
    RestoreTokenFile tokenFile_;
    mutable std::mutex mutex_;  // guards what inject() reads of the session
    State state_ = State::Starting;
    QString session_;
    QString problem_;
    std::atomic<uint64_t> dropped_{0};
    bool shifted_ = false;  // the scanning thread's alone
};

}  // namespace qm::desktop
