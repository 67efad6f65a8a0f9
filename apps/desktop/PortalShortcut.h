#pragma once

#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariantMap>

namespace qm::desktop {

// One shortcut as the GlobalShortcuts portal passes it: (sa{sv}), its id and its properties
// ("description", "preferred_trigger").
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};
using PortalShortcuts = QList<PortalShortcut>;

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut);
const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut);

// Makes the two types known to Qt's D-Bus; any number of calls.
void registerPortalShortcutTypes();

}  // namespace qm::desktop

Q_DECLARE_METATYPE(qm::desktop::PortalShortcut)
