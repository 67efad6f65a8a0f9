#include "apps/desktop/PortalRequest.h"

#include <QAtomicInteger>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QRandomGenerator>

#include "apps/desktop/BusNames.h"

namespace qm::desktop {

namespace {

// ":1.42" becomes "1_42", as the portals name a caller in their object paths.
QString senderPathElement(const QDBusConnection& bus) {
    QString sender = bus.baseService();
    if (sender.startsWith(':')) sender.remove(0, 1);
    return sender.replace('.', '_');
}

}  // namespace

QString PortalRequest::newToken() {
    static QAtomicInteger<quint32> counter;
    return QString("quillmark_%1_%2")
        .arg(counter.fetchAndAddRelaxed(1))
        .arg(QRandomGenerator::global()->generate(), 8, 16, QChar('0'));
}

QString PortalRequest::objectPath(const QDBusConnection& bus, const QString& kind,
                                  const QString& token) {
    return kPortalPath + "/" + kind + "/" + senderPathElement(bus) + "/" + token;
}

QString PortalRequest::sessionHandle(const QVariantMap& results) {
    const QVariant handle = results.value("session_handle");
    if (handle.canConvert<QDBusObjectPath>()) return handle.value<QDBusObjectPath>().path();
    return handle.toString();
}

QString PortalRequest::refusal(uint32_t response, const QVariantMap& results) {
    if (response == kPortalCancelled) return "cancelled";
    const QString error = results.value("error").toString();
    return error.isEmpty() ? QString("refused") : error;
}

PortalRequest::PortalRequest(QDBusConnection bus, Done done, QObject* parent)
    : QObject(parent), bus_(std::move(bus)), done_(std::move(done)) {}

void PortalRequest::call(QDBusConnection bus, const QString& interface, const QString& method,
                         const QVariantList& arguments, QVariantMap options, QObject* parent,
                         Done done) {
    auto* request = new PortalRequest(bus, std::move(done), parent);
    const QString token = newToken();
    options.insert("handle_token", token);
    if (!request->listen(objectPath(bus, "request", token))) {
        request->finish(kPortalFailed, {{"error", "cannot listen for the portal's response"}});
        return;
    }
    QDBusMessage message =
        QDBusMessage::createMethodCall(kPortalService, kPortalPath, interface, method);
    message.setArguments(arguments + QVariantList{options});
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(message), request);
    connect(watcher, &QDBusPendingCallWatcher::finished, request, &PortalRequest::replied);
}

bool PortalRequest::listen(const QString& path) {
    path_ = path;
    return bus_.connect(kPortalService, path_, kRequestInterface, "Response", this,
                        SLOT(onResponse(uint, QVariantMap)));
}

void PortalRequest::stopListening() {
    if (path_.isEmpty()) return;
    bus_.disconnect(kPortalService, path_, kRequestInterface, "Response", this,
                    SLOT(onResponse(uint, QVariantMap)));
    path_.clear();
}

void PortalRequest::replied(QDBusPendingCallWatcher* watcher) {
    watcher->deleteLater();
    const QDBusPendingReply<QDBusObjectPath> reply = *watcher;
    if (reply.isError()) {
        finish(kPortalFailed, {{"error", reply.error().message()}});
        return;
    }
    const QString handle = reply.value().path();
    if (finished_ || handle == path_) return;
    // An older portal chose its own path; its Response cannot have come yet.
    stopListening();
    if (!listen(handle)) finish(kPortalFailed, {{"error", "cannot listen for " + handle}});
}

void PortalRequest::onResponse(uint response, const QVariantMap& results) {
    finish(response, results);
}

void PortalRequest::finish(uint32_t response, const QVariantMap& results) {
    if (finished_) return;
    finished_ = true;
    stopListening();
    deleteLater();
    if (done_) done_(response, results);
}

}  // namespace qm::desktop
