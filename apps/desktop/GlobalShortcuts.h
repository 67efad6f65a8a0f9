#pragma once

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <memory>

#include "wedge/RemoteTriggerKeys.h"

namespace qm::desktop {

// The trigger keys as the desktop's global shortcuts (the GlobalShortcuts portal: KDE Plasma,
// GNOME 48 and later): "Scan key" and "Target key", with the profile's trigger keys as the
// preferred triggers; the desktop (and its user) decide the keys. Activated presses and
// Deactivated releases the remote trigger key. Lives on the GUI thread.
class GlobalShortcuts : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kScanId = "scan";
    static constexpr const char* kTargetId = "target";

    // Nothing when the desktop offers no global shortcuts; otherwise binding is on its way.
    static std::unique_ptr<GlobalShortcuts> open(QDBusConnection bus, RemoteTriggerKeys& keys,
                                                 const QString& scanKeyName,
                                                 const QString& targetKeyName);
    ~GlobalShortcuts() override;

    // After a trigger key changed in Bar Code Setup: binds again, in a new session, when the
    // preferred triggers differ from those bound.
    void rebind(const QString& scanKeyName, const QString& targetKeyName);

    bool isBound() const { return bound_; }
    // What keeps the shortcuts from working, for the main dialog; empty once bound.
    const QString& problem() const { return problem_; }

signals:
    void stateChanged();

private slots:
    void activated(const QDBusObjectPath& session, const QString& id, qulonglong timestamp,
                   const QVariantMap& options);
    void deactivated(const QDBusObjectPath& session, const QString& id, qulonglong timestamp,
                     const QVariantMap& options);

private:
    GlobalShortcuts(QDBusConnection bus, RemoteTriggerKeys& keys);
    void bind(const QString& scanTrigger, const QString& targetTrigger);
    void bindShortcuts(int generation);
    void closeSession();
    bool ours(const QDBusObjectPath& session, const QString& id, RemoteKey& key) const;
    void setProblem(const QString& problem);

    QDBusConnection bus_;
    RemoteTriggerKeys& keys_;
    QString session_;
    QString scanTrigger_;
    QString targetTrigger_;
    int generation_ = 0;  // answers to an earlier binding are let go
    bool listening_ = false;
    bool bound_ = false;
    QString problem_;
};

}  // namespace qm::desktop
