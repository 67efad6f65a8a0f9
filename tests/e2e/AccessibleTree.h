#pragma once

// What assistive technology reads of a running program: the names in its accessibility tree,
// walked over the accessibility bus as a screen reader walks it.

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QStringList>

namespace qm::e2e {

class AccessibleTree {
public:
    // The accessibility bus the session bus at `sessionAddress` hands out (started on demand).
    static QString accessibilityBus(const QString& sessionAddress) {
        QDBusConnection session = QDBusConnection::connectToBus(sessionAddress, "qm-session");
        const QDBusMessage reply =
            session.call(QDBusMessage::createMethodCall("org.a11y.Bus", "/org/a11y/bus",
                                                        "org.a11y.Bus", "GetAddress"),
                         QDBus::Block, 10000);
        QDBusConnection::disconnectFromBus("qm-session");
        return reply.arguments().value(0).toString();
    }

    explicit AccessibleTree(const QString& address)
        : bus_(QDBusConnection::connectToBus(address, "qm-a11y")) {}
    ~AccessibleTree() { QDBusConnection::disconnectFromBus("qm-a11y"); }

    // Every name in the tree of the application called `application`; empty while it is not
    // on the bus.
    QStringList namesOf(const QString& application) {
        QStringList names;
        const QDBusMessage list = bus_.call(QDBusMessage::createMethodCall(
            "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "ListNames"));
        for (const QString& service : list.arguments().value(0).toStringList()) {
            if (!service.startsWith(':') || name(service, kRoot) != application) continue;
            collect(service, kRoot, names, 0);
        }
        return names;
    }

private:
    static constexpr const char* kRoot = "/org/a11y/atspi/accessible/root";
    static constexpr int kDeepest = 30;

    QString name(const QString& service, const QString& path) {
        QDBusMessage get =
            QDBusMessage::createMethodCall(service, path, "org.freedesktop.DBus.Properties", "Get");
        get << QString("org.a11y.atspi.Accessible") << QString("Name");
        const QDBusMessage reply = bus_.call(get, QDBus::Block, 2000);
        return reply.arguments().value(0).value<QDBusVariant>().variant().toString();
    }

    void collect(const QString& service, const QString& path, QStringList& names, int depth) {
        names.append(name(service, path));
        if (depth > kDeepest) return;
        const QDBusMessage reply =
            bus_.call(QDBusMessage::createMethodCall(service, path, "org.a11y.atspi.Accessible",
                                                     "GetChildren"),
                      QDBus::Block, 2000);
        if (reply.arguments().isEmpty()) return;
        const QDBusArgument children = reply.arguments().first().value<QDBusArgument>();
        QList<QPair<QString, QString>> found;
        children.beginArray();
        while (!children.atEnd()) {
            QString childService;
            QDBusObjectPath childPath;
            children.beginStructure();
            children >> childService >> childPath;
            children.endStructure();
            found.append({childService, childPath.path()});
        }
        children.endArray();
        for (const auto& [childService, childPath] : found)
            collect(childService, childPath, names, depth + 1);
    }

    QDBusConnection bus_;
};

}  // namespace qm::e2e
