#pragma once

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QMap>
#include <QStringList>
#include <QThread>
#include <QVariantMap>
#include <memory>
#include <mutex>
#include <ostream>
#include <vector>

#include "apps/desktop/PortalShortcut.h"

namespace qm::test {

// The desktop's portal as the tests need it: RemoteDesktop and GlobalShortcuts on
// org.freedesktop.portal.Desktop, answering every request at once and granting it, and
// recording what it was asked. Its Response goes out before the method's reply, so a client
// that subscribes only after calling misses it. Runs on a thread of its own, so a client may
// block on it.
class StandInPortal : public QDBusVirtualObject {
    Q_OBJECT
public:
    struct Options {
        bool remoteDesktop = true;
        bool globalShortcuts = true;
        // As a portal backend seen in the field: the first key event of a session is lost.
        bool loseFirstKey = true;
        QString restoreToken = "restore-1";  // what Start gives back
    };

    struct Keysym {
        int keysym;
        bool pressed;
        bool operator==(const Keysym&) const = default;
        friend void PrintTo(const Keysym& key, std::ostream* out) {
            *out << std::hex << "0x" << key.keysym << (key.pressed ? " down" : " up");
        }
    };

    // Owns the name on the bus at `address`; check serving().
    StandInPortal(const QString& address, Options options);
    ~StandInPortal() override;

    bool serving() const { return serving_; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;
    QString introspect(const QString&) const override { return {}; }

    struct Seen {
        QStringList calls;  // "Interface.Method", the interface without its common prefix
        QMap<QString, QVariantMap> options;  // of the latest call of each method
        std::vector<Keysym> keysyms;         // those kept
        desktop::PortalShortcuts shortcuts;  // as last bound
        QStringList closedSessions;
        QString latestSession;
    };
    Seen seen() const;

    void setRestoreToken(const QString& token);
    // Activated or Deactivated for `id` of `session`.
    void emitShortcut(bool activated, const QString& session, const QString& id);

private:
    void answer(const QDBusMessage& call, const QVariantMap& options, const QVariantMap& results);
    QVariantMap createSession(const QDBusMessage& call, const QVariantMap& options);
    bool property(const QDBusMessage& call);
    void keysym(const QDBusMessage& call);
    void record(const QDBusMessage& call, const QVariantMap& options);

    Options options_;
    QString connectionName_;
    QDBusConnection bus_;
    QThread thread_;
    bool serving_ = false;
    mutable std::mutex mutex_;
    Seen seen_;
    QStringList sessionsWithKeys_;
};

}  // namespace qm::test
