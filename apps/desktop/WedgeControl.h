#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <chrono>
#include <functional>
#include <memory>

#include "wedge/RemoteTriggerKeys.h"

class QDBusServiceWatcher;

namespace qm {
struct ProcessState;
}

namespace qm::desktop {

struct WedgeStatus {
    bool scanningEnabled = false;
    bool engineConnected = false;
    bool operator==(const WedgeStatus&) const = default;
};

// Scanning as ScanningEnabled says; the engine connected while its port is open on a device that
// is still there and the last transaction did not fail on the line itself (no wake-up, no
// clear-to-send, a failed write).
// Read on the GUI thread, which opens and closes the port.
WedgeStatus wedgeStatusOf(ProcessState& state);

// The object on the bus: org.quillmark.Wedge1 at /org/quillmark/Wedge. Its methods forward to
// the remote trigger keys; a press while scanning is disabled is refused with an error that
// says why.
class WedgeControlObject : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.quillmark.Wedge1")
    Q_PROPERTY(bool ScanningEnabled READ scanningEnabled)
    Q_PROPERTY(bool EngineConnected READ engineConnected)

public:
    WedgeControlObject(RemoteTriggerKeys& keys, std::function<WedgeStatus()> status,
                       QDBusConnection bus);

    bool scanningEnabled() const { return status_().scanningEnabled; }
    bool engineConnected() const { return status_().engineConnected; }

public slots:
    Q_SCRIPTABLE void PressScanKey() { press(RemoteKey::Scan); }
    Q_SCRIPTABLE void ReleaseScanKey() { release(RemoteKey::Scan); }
    Q_SCRIPTABLE void PressTargetKey() { press(RemoteKey::Target); }
    Q_SCRIPTABLE void ReleaseTargetKey() { release(RemoteKey::Target); }

private slots:
    void callerLeft(const QString& uniqueName);

private:
    void press(RemoteKey key);
    void release(RemoteKey key);
    QString& presser(RemoteKey key) { return pressers_[key == RemoteKey::Scan ? 0 : 1]; }

    RemoteTriggerKeys& keys_;
    std::function<WedgeStatus()> status_;
    // Who pressed each key, so that a press is let go when its client leaves the bus: a
    // script that dies, or `quillmark --scan-key press`, which ends right after its call.
    std::array<QString, 2> pressers_;
    QDBusServiceWatcher* watcher_;
};

// The control interface on the session bus under the program's name. When another program
// holds the name, or there is no session bus, the interface is off and problem() says why.
// Lives on the GUI thread.
class WedgeControlService : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kStatusPoll{500};

    WedgeControlService(QDBusConnection bus, const QString& serviceName, RemoteTriggerKeys& keys,
                        std::function<WedgeStatus()> status,
                        std::chrono::milliseconds poll = kStatusPoll);
    ~WedgeControlService() override;

    bool isActive() const { return active_; }
    const QString& problem() const { return problem_; }

    // Reads the status again and announces what changed (PropertiesChanged); also runs every
    // `poll`, so a caller that knows of a change only makes it reach the bus sooner.
    void refresh();

private:
    QDBusConnection bus_;
    QString serviceName_;
    std::function<WedgeStatus()> status_;
    std::unique_ptr<WedgeControlObject> object_;
    WedgeStatus announced_;
    QTimer poll_;
    bool active_ = false;
    QString problem_;
};

}  // namespace qm::desktop
