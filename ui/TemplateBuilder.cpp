#include "ui/TemplateBuilder.h"

#include <QApplication>
#include <QScreen>
#include <QVariant>

#include "ui/AccessibleNames.h"
#include "ui/ControlFactory.h"
#include "ui/ControlLookup.h"
#include "ui/RoomForTexts.h"
#include "ui/UpDownControl.h"

namespace qm::ui {

namespace {

constexpr double HandheldPoints = 8.0;

Qt::WindowFlags windowFlags(const DialogTemplate& dialog) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
    const bool captioned = dialog.has(window::Caption) && !dialog.has(window::NoCaption);
    if (!captioned) return flags | Qt::FramelessWindowHint;
    flags |= Qt::WindowTitleHint;
    if (dialog.has(window::SystemMenu))
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    return flags;
}

void shapeWindow(QWidget* host, const DialogTemplate& dialog) {
    host->setWindowFlags(windowFlags(dialog));
    host->setWindowTitle(dialog.caption);
    if (!dialog.has(window::Centred)) return;
    const QScreen* screen = host->screen() ? host->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame(QPoint(0, 0), host->size());
    frame.moveCenter(screen->availableGeometry().center());
    host->move(frame.topLeft());
}

void attachUpDowns(const DialogTemplate& dialog, const std::vector<QWidget*>& widgets) {
    for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
        auto* upDown = qobject_cast<UpDownControl*>(widgets[i]);
        QWidget* edit = control(widgets[i]->parentWidget(), dialog.controls[i].buddy);
        if (upDown && edit) upDown->attachTo(edit);
    }
}

}  // namespace

QFont templateFont(const DialogTemplate& dialog, const QFont& desktop) {
    QFont font = desktop;
    if (desktop.pointSizeF() > 0) {
        font.setPointSizeF(desktop.pointSizeF() * dialog.fontPoints / HandheldPoints);
    } else {
        font.setPixelSize(
            std::max(1, qRound(desktop.pixelSize() * dialog.fontPoints / HandheldPoints)));
    }
    return font;
}

QFont templateFont(const DialogTemplate& dialog) {
    return templateFont(dialog, QApplication::font());
}

DialogUnits buildInto(QWidget* host, const DialogTemplate& dialog) {
    const QFont font = templateFont(dialog);
    const DialogUnits units(font);
    host->setFont(font);
    host->setProperty(TemplateIdProperty, dialog.id);
    host->setObjectName(QStringLiteral("template%1").arg(dialog.id));
    host->setFixedSize(units.size(dialog.size));
    std::vector<QWidget*> widgets;
    widgets.reserve(dialog.controls.size());
    for (const ControlTemplate& control : dialog.controls) {
        widgets.push_back(createControl(control, host, units));
    }
    widenToTheirTexts(host, widgets);
    attachUpDowns(dialog, widgets);
    nameControls(dialog, widgets);
    if (host->isWindow() && dialog.kind != TemplateKind::Child) shapeWindow(host, dialog);
    return units;
}

std::unique_ptr<QWidget> buildWidget(const DialogTemplate& dialog, QWidget* parent) {
    std::unique_ptr<QWidget> host;
    if (dialog.kind == TemplateKind::Child) {
        host = std::make_unique<QWidget>(parent);
    } else {
        host = std::make_unique<QDialog>(parent);
    }
    buildInto(host.get(), dialog);
    return host;
}

}  // namespace qm::ui
