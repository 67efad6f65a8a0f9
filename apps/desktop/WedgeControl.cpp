#include "apps/desktop/WedgeControl.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QVariantMap>
#include <utility>

#include "apps/desktop/BusNames.h"
#include "state/ProcessState.h"

namespace qm::desktop {

namespace {

bool lineFailed(int32_t status) {
    return status == kLinkWriteFailed || status == kLinkCtsTimeout ||
           status == kLinkModemStatusFailed || status == kLinkWakeFailed;
}

QVariantMap changedProperties(const WedgeStatus& before, const WedgeStatus& now) {
    QVariantMap changed;
    if (before.scanningEnabled != now.scanningEnabled)
        changed.insert("ScanningEnabled", now.scanningEnabled);
    if (before.engineConnected != now.engineConnected)
        changed.insert("EngineConnected", now.engineConnected);
    return changed;
}

}  // namespace

WedgeStatus wedgeStatusOf(ProcessState& state) {
    return {state.ScanningEnabled.load() != 0,
            state.link.deviceConnected() && !lineFailed(state.link.LinkStatus.load())};
}

WedgeControlObject::WedgeControlObject(RemoteTriggerKeys& keys, std::function<WedgeStatus()> status,
                                       QDBusConnection bus)
    : keys_(keys), status_(std::move(status)), watcher_(new QDBusServiceWatcher(this)) {
    watcher_->setConnection(bus);
    watcher_->setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    connect(watcher_, &QDBusServiceWatcher::serviceUnregistered, this,
            &WedgeControlObject::callerLeft);
}

void WedgeControlObject::press(RemoteKey key) {
    if (keys_.press(key) == RemoteTriggerKeys::Press::ScanningDisabled) {
        if (calledFromDBus())
            sendErrorReply(kScanningDisabledError,
                           "Scanning is paused (the wedge is starting, or Bar Code Setup is "
                           "open): the key press was not taken.");
        return;
    }
    if (!calledFromDBus()) return;
    const QString caller = message().service();
    presser(key) = caller;
    watcher_->addWatchedService(caller);
}

void WedgeControlObject::release(RemoteKey key) {
    const QString caller = std::exchange(presser(key), QString());
    if (!caller.isEmpty() && pressers_[0] != caller && pressers_[1] != caller)
        watcher_->removeWatchedService(caller);
    keys_.release(key);
}

void WedgeControlObject::callerLeft(const QString& uniqueName) {
    watcher_->removeWatchedService(uniqueName);
    for (RemoteKey key : {RemoteKey::Scan, RemoteKey::Target}) {
        if (presser(key) != uniqueName) continue;
        presser(key).clear();
        keys_.release(key);
    }
}

WedgeControlService::WedgeControlService(QDBusConnection bus, const QString& serviceName,
                                         RemoteTriggerKeys& keys,
                                         std::function<WedgeStatus()> status,
                                         std::chrono::milliseconds poll)
    : bus_(std::move(bus)), serviceName_(serviceName), status_(std::move(status)) {
    if (!bus_.isConnected()) {
        problem_ = "no session bus: " + bus_.lastError().message();
        return;
    }
    object_ = std::make_unique<WedgeControlObject>(keys, status_, bus_);
    if (!bus_.registerObject(
            kWedgePath, object_.get(),
            QDBusConnection::ExportScriptableSlots | QDBusConnection::ExportAllProperties)) {
        problem_ = "the object " + kWedgePath + " is already on the session bus";
        return;
    }
    if (!bus_.registerService(serviceName_)) {
        bus_.unregisterObject(kWedgePath);
        problem_ = "another program owns " + serviceName_ + " on the session bus";
        return;
    }
    active_ = true;
    announced_ = status_();
    connect(&poll_, &QTimer::timeout, this, &WedgeControlService::refresh);
    poll_.start(poll);
}

WedgeControlService::~WedgeControlService() {
    if (!active_) return;
    bus_.unregisterService(serviceName_);
    bus_.unregisterObject(kWedgePath);
}

void WedgeControlService::refresh() {
    if (!active_) return;
    const WedgeStatus now = status_();
    const QVariantMap changed = changedProperties(announced_, now);
    announced_ = now;
    if (changed.isEmpty()) return;
    QDBusMessage signal =
        QDBusMessage::createSignal(kWedgePath, kPropertiesInterface, "PropertiesChanged");
    signal << kWedgeInterface << changed << QStringList();
    bus_.send(signal);
}

}  // namespace qm::desktop
