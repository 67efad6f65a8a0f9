#include "apps/desktop/GlobalShortcuts.h"

#include <QDBusMessage>
#include <QDBusVariant>

#include "apps/desktop/BusNames.h"
#include "apps/desktop/PortalRequest.h"
#include "apps/desktop/PortalShortcut.h"
#include "apps/desktop/ShortcutTrigger.h"

namespace qm::desktop {

namespace {

constexpr int kAvailabilityTimeoutMs = 3000;

bool offered(const QDBusConnection& bus) {
    QDBusMessage get =
        QDBusMessage::createMethodCall(kPortalService, kPortalPath, kPropertiesInterface, "Get");
    get << kGlobalShortcutsInterface << QString("version");
    return bus.call(get, QDBus::Block, kAvailabilityTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

PortalShortcut shortcut(const char* id, const char* description, const QString& trigger) {
    QVariantMap properties{{"description", QString(description)}};
    if (!trigger.isEmpty()) properties.insert("preferred_trigger", trigger);
    return {id, properties};
}

}  // namespace

std::unique_ptr<GlobalShortcuts> GlobalShortcuts::open(QDBusConnection bus, RemoteTriggerKeys& keys,
                                                       const QString& scanKeyName,
                                                       const QString& targetKeyName) {
    if (!bus.isConnected() || !offered(bus)) return nullptr;
    registerPortalShortcutTypes();
    std::unique_ptr<GlobalShortcuts> shortcuts(new GlobalShortcuts(std::move(bus), keys));
    if (shortcuts->listening_)
        shortcuts->bind(scanKeyTrigger(scanKeyName), targetKeyTrigger(targetKeyName));
    else
        shortcuts->setProblem("the desktop's shortcut signals cannot be received");
    return shortcuts;
}

GlobalShortcuts::GlobalShortcuts(QDBusConnection bus, RemoteTriggerKeys& keys)
    : bus_(std::move(bus)), keys_(keys) {
    // The slots' types are looked up by name, which only a registered type has.
    qRegisterMetaType<QDBusObjectPath>();
    listening_ =
        bus_.connect(kPortalService, kPortalPath, kGlobalShortcutsInterface, "Activated", this,
                     SLOT(activated(QDBusObjectPath, QString, qulonglong, QVariantMap))) &&
        bus_.connect(kPortalService, kPortalPath, kGlobalShortcutsInterface, "Deactivated", this,
                     SLOT(deactivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
}

GlobalShortcuts::~GlobalShortcuts() { closeSession(); }

void GlobalShortcuts::rebind(const QString& scanKeyName, const QString& targetKeyName) {
    const QString scan = scanKeyTrigger(scanKeyName);
    const QString target = targetKeyTrigger(targetKeyName);
    if (!listening_ || (scan == scanTrigger_ && target == targetTrigger_)) return;
    closeSession();
    bind(scan, target);
}

void GlobalShortcuts::bind(const QString& scanTrigger, const QString& targetTrigger) {
    scanTrigger_ = scanTrigger;
    targetTrigger_ = targetTrigger;
    const int generation = ++generation_;
    setProblem("waiting for the desktop to bind the shortcuts");
    PortalRequest::call(bus_, kGlobalShortcutsInterface, "CreateSession", {},
                        {{"session_handle_token", PortalRequest::newToken()}}, this,
                        [this, generation](uint32_t response, const QVariantMap& results) {
                            const QString session = PortalRequest::sessionHandle(results);
                            if (generation != generation_) {
                                // Bound again meanwhile: this session is no longer wanted.
                                if (!session.isEmpty())
                                    bus_.send(QDBusMessage::createMethodCall(
                                        kPortalService, session, kSessionInterface, "Close"));
                                return;
                            }
                            if (response != kPortalGranted || session.isEmpty()) {
                                setProblem("no global shortcuts session (" +
                                           PortalRequest::refusal(response, results) + ")");
                                return;
                            }
                            session_ = session;
                            bindShortcuts(generation);
                        });
}

void GlobalShortcuts::bindShortcuts(int generation) {
    const PortalShortcuts shortcuts{shortcut(kScanId, "Scan key", scanTrigger_),
                                    shortcut(kTargetId, "Target key", targetTrigger_)};
    PortalRequest::call(
        bus_, kGlobalShortcutsInterface, "BindShortcuts",
        {QVariant::fromValue(QDBusObjectPath(session_)), QVariant::fromValue(shortcuts), QString()},
        {}, this, [this, generation](uint32_t response, const QVariantMap& results) {
            if (generation != generation_) return;
            bound_ = response == kPortalGranted;
            setProblem(bound_ ? QString()
                              : "the shortcuts were not bound (" +
                                    PortalRequest::refusal(response, results) + ")");
        });
}

void GlobalShortcuts::closeSession() {
    // A key held through the old shortcuts would never see its Deactivated.
    keys_.release(RemoteKey::Scan);
    keys_.release(RemoteKey::Target);
    bound_ = false;
    if (session_.isEmpty()) return;
    bus_.send(QDBusMessage::createMethodCall(kPortalService, session_, kSessionInterface, "Close"));
    session_.clear();
}

bool GlobalShortcuts::ours(const QDBusObjectPath& session, const QString& id,
                           RemoteKey& key) const {
    if (session_.isEmpty() || session.path() != session_) return false;
    if (id == kScanId)
        key = RemoteKey::Scan;
    else if (id == kTargetId)
        key = RemoteKey::Target;
    else
        return false;
    return true;
}

void GlobalShortcuts::activated(const QDBusObjectPath& session, const QString& id, qulonglong,
                                const QVariantMap&) {
    RemoteKey key;
    // Refused while scanning is paused, as a keyboard key is then not looked at.
    if (ours(session, id, key)) keys_.press(key);
}

void GlobalShortcuts::deactivated(const QDBusObjectPath& session, const QString& id, qulonglong,
                                  const QVariantMap&) {
    RemoteKey key;
    if (ours(session, id, key)) keys_.release(key);
}

void GlobalShortcuts::setProblem(const QString& problem) {
    problem_ = problem;
    emit stateChanged();
}

}  // namespace qm::desktop
