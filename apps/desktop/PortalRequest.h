#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantList>
#include <QVariantMap>
#include <functional>

class QDBusPendingCallWatcher;

namespace qm::desktop {

// The portals' answer to a request: 0 granted, 1 cancelled by the user, 2 anything else.
inline constexpr uint32_t kPortalGranted = 0;
inline constexpr uint32_t kPortalCancelled = 1;
inline constexpr uint32_t kPortalFailed = 2;

// One portal method that answers through a Request object's Response signal. The Response is
// subscribed to before the call goes out (a portal may answer before its reply arrives), under
// the path the handle_token gives; a portal that returns another handle is followed there.
// `done` runs once, on the thread of `parent`; a call the portal refused gives kPortalFailed
// with the error's text under "error". The request ends with its parent.
class PortalRequest : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void(uint32_t response, const QVariantMap& results)>;

    // `arguments` come before the options, which get the handle_token.
    static void call(QDBusConnection bus, const QString& interface, const QString& method,
                     const QVariantList& arguments, QVariantMap options, QObject* parent,
                     Done done);

    // A fresh token for a request or a session, unique in this process.
    static QString newToken();
    // The session a CreateSession answered with: a string, or with some portals an object path.
    static QString sessionHandle(const QVariantMap& results);
    // Why a request was not granted, for a message: "cancelled", or the portal's error.
    static QString refusal(uint32_t response, const QVariantMap& results);
    // Where the portal puts a request or a session with `token` for this connection.
    static QString objectPath(const QDBusConnection& bus, const QString& kind,
                              const QString& token);

private slots:
    void onResponse(uint response, const QVariantMap& results);

private:
    PortalRequest(QDBusConnection bus, Done done, QObject* parent);
    bool listen(const QString& path);
    void stopListening();
    void replied(QDBusPendingCallWatcher* watcher);
    void finish(uint32_t response, const QVariantMap& results);

    QDBusConnection bus_;
    Done done_;
    QString path_;
    bool finished_ = false;
};

}  // namespace qm::desktop
