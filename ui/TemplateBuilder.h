#pragma once

#include <QDialog>
#include <QFont>
#include <memory>

#include "ui/DialogUnits.h"
#include "ui/Template.h"

namespace qm::ui {

// The font a template's dialog is drawn in: the desktop's own font, its size scaled by the
// template's points against the handheld's usual 8, so the dialogs follow the desktop.
QFont templateFont(const DialogTemplate& dialog, const QFont& desktop);
QFont templateFont(const DialogTemplate& dialog);

// Fills `host` with the template's controls, fixes its size and, when it is a window, its
// title and frame. Controls are found afterwards with control(host, id). Returns the
// dialog units used, for callers that place more in the same units.
DialogUnits buildInto(QWidget* host, const DialogTemplate& dialog);

// A new window or page of the template: a QDialog for dialogs and pop-ups, a QWidget for
// child templates (pages, the main dialog).
std::unique_ptr<QWidget> buildWidget(const DialogTemplate& dialog, QWidget* parent = nullptr);

// The template property every built host carries.
inline constexpr char TemplateIdProperty[] = "templateId";

}  // namespace qm::ui
