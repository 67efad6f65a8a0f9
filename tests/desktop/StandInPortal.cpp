#include "StandInPortal.h"

#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QUuid>

#include "apps/desktop/BusNames.h"

namespace qm::test {

using namespace qm::desktop;

namespace {

QString senderElement(const QDBusMessage& call) {
    QString sender = call.service();
    return sender.remove(0, 1).replace('.', '_');
}

QString shortInterface(const QString& interface) {
    return QString(interface).remove("org.freedesktop.portal.");
}

}  // namespace

StandInPortal::StandInPortal(const QString& address, Options options)
    : options_(std::move(options)),
      connectionName_("stand-in-portal-" + QUuid::createUuid().toString(QUuid::Id128)),
      bus_(QDBusConnection::connectToBus(address, connectionName_)) {
    registerPortalShortcutTypes();
    serving_ = bus_.registerVirtualObject(kPortalPath, this, QDBusConnection::SubPath) &&
               bus_.registerService(kPortalService);
    thread_.start();
    moveToThread(&thread_);
}

StandInPortal::~StandInPortal() {
    bus_.unregisterObject(kPortalPath, QDBusConnection::UnregisterTree);
    QDBusConnection::disconnectFromBus(connectionName_);
    thread_.quit();
    thread_.wait();
}

bool StandInPortal::handleMessage(const QDBusMessage& call, const QDBusConnection&) {
    const QString interface = call.interface();
    const QString method = call.member();
    if (interface == kPropertiesInterface && method == "Get") return property(call);
    if (interface == kSessionInterface && method == "Close") {
        record(call, {});
        std::lock_guard lock(mutex_);
        seen_.closedSessions.append(call.path());
        bus_.send(call.createReply());
        return true;
    }
    const bool remote = interface == kRemoteDesktopInterface && options_.remoteDesktop;
    const bool shortcuts = interface == kGlobalShortcutsInterface && options_.globalShortcuts;
    if (!remote && !shortcuts) return false;
    if (method == "NotifyKeyboardKeysym") {
        keysym(call);
        return true;
    }
    const QVariantMap options = qdbus_cast<QVariantMap>(call.arguments().last());
    record(call, options);
    if (method == "CreateSession") {
        answer(call, options, createSession(call, options));
    } else if (method == "Start") {
        std::lock_guard lock(mutex_);
        QVariantMap results{{"devices", 1u}};
        if (!options_.restoreToken.isEmpty())
            results.insert("restore_token", options_.restoreToken);
        answer(call, options, results);
    } else if (method == "BindShortcuts") {
        {
            std::lock_guard lock(mutex_);
            seen_.shortcuts = qdbus_cast<PortalShortcuts>(call.arguments().at(1));
        }
        answer(call, options, {});
    } else if (method == "SelectDevices") {
        answer(call, options, {});
    } else {
        return false;
    }
    return true;
}

void StandInPortal::answer(const QDBusMessage& call, const QVariantMap& options,
                           const QVariantMap& results) {
    const QString request = kPortalPath + "/request/" + senderElement(call) + "/" +
                            options.value("handle_token").toString();
    QDBusMessage response = QDBusMessage::createSignal(request, kRequestInterface, "Response");
    response << 0u << results;
    bus_.send(response);
    bus_.send(call.createReply(QVariant::fromValue(QDBusObjectPath(request))));
}

QVariantMap StandInPortal::createSession(const QDBusMessage& call, const QVariantMap& options) {
    const QString session = kPortalPath + "/session/" + senderElement(call) + "/" +
                            options.value("session_handle_token").toString();
    std::lock_guard lock(mutex_);
    seen_.latestSession = session;
    return {{"session_handle", session}};
}

bool StandInPortal::property(const QDBusMessage& call) {
    const QString interface = call.arguments().value(0).toString();
    const QString name = call.arguments().value(1).toString();
    QVariant value;
    if (interface == kRemoteDesktopInterface && options_.remoteDesktop)
        value = name == "AvailableDeviceTypes" ? QVariant(7u) : QVariant(2u);
    else if (interface == kGlobalShortcutsInterface && options_.globalShortcuts)
        value = 1u;
    if (!value.isValid())
        bus_.send(call.createErrorReply("org.freedesktop.DBus.Error.UnknownProperty",
                                        "no such property here"));
    else
        bus_.send(call.createReply(QVariant::fromValue(QDBusVariant(value))));
    return true;
}

void StandInPortal::keysym(const QDBusMessage& call) {
    const QString session = qdbus_cast<QDBusObjectPath>(call.arguments().at(0)).path();
    {
        std::lock_guard lock(mutex_);
        seen_.calls.append("RemoteDesktop.NotifyKeyboardKeysym");
        const bool first = !sessionsWithKeys_.contains(session);
        sessionsWithKeys_.append(session);
        if (!(first && options_.loseFirstKey))
            seen_.keysyms.push_back(
                {call.arguments().at(2).toInt(), call.arguments().at(3).toUInt() == 1});
    }
    bus_.send(call.createReply());
}

void StandInPortal::record(const QDBusMessage& call, const QVariantMap& options) {
    std::lock_guard lock(mutex_);
    seen_.calls.append(shortInterface(call.interface()) + "." + call.member());
    seen_.options[call.member()] = options;
}

StandInPortal::Seen StandInPortal::seen() const {
    std::lock_guard lock(mutex_);
    return seen_;
}

void StandInPortal::setRestoreToken(const QString& token) {
    std::lock_guard lock(mutex_);
    options_.restoreToken = token;
}

void StandInPortal::emitShortcut(bool activated, const QString& session, const QString& id) {
    QDBusMessage signal = QDBusMessage::createSignal(kPortalPath, kGlobalShortcutsInterface,
                                                     activated ? "Activated" : "Deactivated");
    signal << QVariant::fromValue(QDBusObjectPath(session)) << id << qulonglong(0) << QVariantMap();
    bus_.send(signal);
}

}  // namespace qm::test
