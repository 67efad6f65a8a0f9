#include "apps/desktop/RemoteDesktopKeyboard.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>

#include "apps/desktop/BusNames.h"
#include "apps/desktop/PortalRequest.h"
#include "platform/linux/VirtualKeyTranslation.h"

namespace qm::desktop {

namespace {

constexpr uint32_t kKeyboardDevice = 1;
constexpr uint32_t kPersistUntilRevoked = 2;
constexpr int kAvailabilityTimeoutMs = 3000;

QDBusMessage keysymEvent(const QString& session, uint32_t keysym, bool pressed) {
    QDBusMessage message = QDBusMessage::createMethodCall(
        kPortalService, kPortalPath, kRemoteDesktopInterface, "NotifyKeyboardKeysym");
    message << QVariant::fromValue(QDBusObjectPath(session)) << QVariantMap()
            << static_cast<int>(keysym) << static_cast<uint>(pressed ? 1 : 0);
    return message;
}

uint32_t availableDeviceTypes(const QDBusConnection& bus) {
    QDBusMessage get =
        QDBusMessage::createMethodCall(kPortalService, kPortalPath, kPropertiesInterface, "Get");
    get << kRemoteDesktopInterface << QString("AvailableDeviceTypes");
    const QDBusMessage reply = bus.call(get, QDBus::Block, kAvailabilityTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return 0;
    return reply.arguments().first().value<QDBusVariant>().variant().toUInt();
}

}  // namespace

std::unique_ptr<RemoteDesktopKeyboard> RemoteDesktopKeyboard::open(QDBusConnection bus,
                                                                   RestoreTokenFile tokenFile) {
    if (!bus.isConnected() || !(availableDeviceTypes(bus) & kKeyboardDevice)) return nullptr;
    std::unique_ptr<RemoteDesktopKeyboard> keyboard(
        new RemoteDesktopKeyboard(std::move(bus), std::move(tokenFile)));
    keyboard->createSession();
    return keyboard;
}

RemoteDesktopKeyboard::RemoteDesktopKeyboard(QDBusConnection bus, RestoreTokenFile tokenFile)
    : bus_(std::move(bus)), tokenFile_(std::move(tokenFile)) {}

RemoteDesktopKeyboard::~RemoteDesktopKeyboard() {
    std::lock_guard lock(mutex_);
    if (session_.isEmpty()) return;
    bus_.send(QDBusMessage::createMethodCall(kPortalService, session_, kSessionInterface, "Close"));
}

void RemoteDesktopKeyboard::inject(uint8_t virtualKey, uint32_t flags) {
    const bool pressed = (flags & KeyFlagUp) == 0;
    // The desktop adds whatever modifiers its layout needs for a keysym; a Shift of ours
    // would only get in the way of one that needs another.
    if (linux_platform::isShiftKey(virtualKey)) {
        shifted_ = pressed;
        return;
    }
    const auto keysym = linux_platform::usKeysym(virtualKey, shifted_);
    if (!keysym) return;
    QString session;
    {
        std::lock_guard lock(mutex_);
        if (state_ == State::Ready) session = session_;
    }
    if (session.isEmpty()) {
        ++dropped_;
        return;
    }
    bus_.send(keysymEvent(session, *keysym, pressed));
}

RemoteDesktopKeyboard::State RemoteDesktopKeyboard::state() const {
    std::lock_guard lock(mutex_);
    return state_;
}

QString RemoteDesktopKeyboard::problem() const {
    std::lock_guard lock(mutex_);
    return problem_;
}

void RemoteDesktopKeyboard::createSession() {
    enter(State::Starting, "waiting for the desktop to allow typing");
    PortalRequest::call(bus_, kRemoteDesktopInterface, "CreateSession", {},
                        {{"session_handle_token", PortalRequest::newToken()}}, this,
                        [this](uint32_t response, const QVariantMap& results) {
                            if (!granted(response, results, "no remote desktop session")) return;
                            const QString session = PortalRequest::sessionHandle(results);
                            {
                                std::lock_guard lock(mutex_);
                                session_ = session;
                            }
                            bus_.connect(kPortalService, session, kSessionInterface, "Closed", this,
                                         SLOT(sessionClosed(QVariantMap)));
                            selectDevices();
                        });
}

void RemoteDesktopKeyboard::selectDevices() {
    QVariantMap options{{"types", kKeyboardDevice}, {"persist_mode", kPersistUntilRevoked}};
    const QString token = tokenFile_.read();
    if (!token.isEmpty()) options.insert("restore_token", token);
    PortalRequest::call(bus_, kRemoteDesktopInterface, "SelectDevices",
                        {QVariant::fromValue(QDBusObjectPath(session_))}, options, this,
                        [this](uint32_t response, const QVariantMap& results) {
                            if (granted(response, results, "no keyboard chosen")) start();
                        });
}

void RemoteDesktopKeyboard::start() {
    PortalRequest::call(bus_, kRemoteDesktopInterface, "Start",
                        {QVariant::fromValue(QDBusObjectPath(session_)), QString()}, {}, this,
                        [this](uint32_t response, const QVariantMap& results) {
                            if (!granted(response, results, "typing not allowed")) return;
                            if (!(results.value("devices").toUInt() & kKeyboardDevice)) {
                                enter(State::Refused, "the desktop allowed no keyboard");
                                return;
                            }
                            const QString token = results.value("restore_token").toString();
                            if (!token.isEmpty()) tokenFile_.write(token);
                            warmUp();
                        });
}

// Ready once the portal has answered the warm-up's last event, so the decode after it comes
// to a session that has taken keys already.
void RemoteDesktopKeyboard::warmUp() {
    bus_.send(keysymEvent(session_, kWarmUpKeysym, true));
    auto* watcher = new QDBusPendingCallWatcher(
        bus_.asyncCall(keysymEvent(session_, kWarmUpKeysym, false)), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                if (call->isError())
                    enter(State::Refused, "the desktop took no key: " + call->error().message());
                else if (state() == State::Starting)
                    enter(State::Ready);
            });
}

bool RemoteDesktopKeyboard::granted(uint32_t response, const QVariantMap& results,
                                    const QString& step) {
    if (response == kPortalGranted) return true;
    enter(State::Refused, step + " (" + PortalRequest::refusal(response, results) + ")");
    return false;
}

void RemoteDesktopKeyboard::sessionClosed(const QVariantMap&) {
    enter(State::Ended, "the desktop ended the remote keyboard session");
}

void RemoteDesktopKeyboard::enter(State state, const QString& problem) {
    {
        std::lock_guard lock(mutex_);
        state_ = state;
        problem_ = problem;
        if (state == State::Ended) session_.clear();
    }
    emit stateChanged();
}

}  // namespace qm::desktop
