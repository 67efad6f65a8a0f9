#include "apps/desktop/WedgeKeyCommand.h"

#include <QCoreApplication>
#include <QDBusError>
#include <QDBusMessage>
#include <QFileInfo>
#include <cstdio>

#include "apps/desktop/BusNames.h"

namespace qm::desktop {

namespace {

constexpr int kCallTimeoutMs = 5000;

std::optional<bool> pressOrRelease(const QString& value) {
    if (value == "press") return true;
    if (value == "release") return false;
    return std::nullopt;
}

QString methodFor(const KeyCommand& command) {
    return QString(command.press ? "Press" : "Release") +
           (command.key == RemoteKey::Scan ? "ScanKey" : "TargetKey");
}

bool nobodyAnswers(QDBusError::ErrorType type) {
    return type == QDBusError::ServiceUnknown || type == QDBusError::NoReply ||
           type == QDBusError::Timeout || type == QDBusError::UnknownObject ||
           type == QDBusError::UnknownInterface || type == QDBusError::UnknownMethod ||
           type == QDBusError::Disconnected;
}

}  // namespace

bool readKeyCommand(const QString& scanKey, const QString& targetKey,
                    std::optional<KeyCommand>& command) {
    command.reset();
    if (scanKey.isEmpty() && targetKey.isEmpty()) return true;
    if (!scanKey.isEmpty() && !targetKey.isEmpty()) return false;
    const auto press = pressOrRelease(scanKey.isEmpty() ? targetKey : scanKey);
    if (!press) return false;
    command = KeyCommand{scanKey.isEmpty() ? RemoteKey::Target : RemoteKey::Scan, *press};
    return true;
}

bool sendKeyCommand(QDBusConnection bus, const QString& service, const KeyCommand& command,
                    QString& problem) {
    if (!bus.isConnected()) {
        problem = "no session bus to find the wedge on (" + bus.lastError().message() + ")";
        return false;
    }
    const QDBusMessage call =
        QDBusMessage::createMethodCall(service, kWedgePath, kWedgeInterface, methodFor(command));
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage) return true;
    const QDBusError error(reply);
    problem = nobodyAnswers(error.type())
                  ? "no wedge answers on the session bus (" + service + "): " + error.message()
                  : error.message();
    return false;
}

int runKeyCommand(int argc, char** argv, const KeyCommand& command, const QString& service) {
    QCoreApplication app(argc, argv);
    QString problem;
    if (sendKeyCommand(QDBusConnection::sessionBus(), service, command, problem)) return 0;
    std::fprintf(stderr, "%s: %s\n",
                 qPrintable(QFileInfo(QCoreApplication::applicationFilePath()).fileName()),
                 qPrintable(problem));
    return 1;
}

}  // namespace qm::desktop
