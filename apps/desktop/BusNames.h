#pragma once

#include <QString>

namespace qm::desktop {

// The wedge's control interface: quillmark owns the first name, quillmark-sim the second, so
// the two run side by side.
inline const QString kWedgeService = QStringLiteral("org.quillmark.Wedge");
inline const QString kWedgeSimService = QStringLiteral("org.quillmark.WedgeSim");
inline const QString kWedgePath = QStringLiteral("/org/quillmark/Wedge");
inline const QString kWedgeInterface = QStringLiteral("org.quillmark.Wedge1");
inline const QString kScanningDisabledError =
    QStringLiteral("org.quillmark.Wedge1.Error.ScanningDisabled");

// The desktop's portals.
inline const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
inline const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
inline const QString kRemoteDesktopInterface =
    QStringLiteral("org.freedesktop.portal.RemoteDesktop");
inline const QString kGlobalShortcutsInterface =
    QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
inline const QString kRequestInterface = QStringLiteral("org.freedesktop.portal.Request");
inline const QString kSessionInterface = QStringLiteral("org.freedesktop.portal.Session");
inline const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

}  // namespace qm::desktop
