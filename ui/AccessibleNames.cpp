#include "ui/AccessibleNames.h"

#include <QLabel>

#include "ui/ControlLookup.h"
#include "ui/ControlText.h"

namespace qm::ui {

namespace {

bool isLabel(ControlKind kind) {
    return kind == ControlKind::LeftText || kind == ControlKind::CentredText ||
           kind == ControlKind::RightText;
}

bool needsLabel(ControlKind kind) {
    return kind == ControlKind::Edit || kind == ControlKind::DropDownList ||
           kind == ControlKind::ListBox || kind == ControlKind::UpDown;
}

bool carriesOwnText(ControlKind kind) {
    return kind == ControlKind::PushButton || kind == ControlKind::CheckBox ||
           kind == ControlKind::RadioButton || kind == ControlKind::GroupBox || isLabel(kind);
}

void nameBy(QLabel* label, const QString& text, QWidget* named) {
    if (!named) return;
    named->setAccessibleName(accessibleText(text));
    if (!label->buddy()) {
        // With a buddy the label keys its mnemonic to it and shows "&&" as one ampersand.
        label->setText(text);
        label->setBuddy(named);
    }
}

void nameByLabels(const DialogTemplate& dialog, const std::vector<QWidget*>& widgets) {
    QWidget* host = widgets.empty() ? nullptr : widgets.front()->parentWidget();
    for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
        const ControlTemplate& c = dialog.controls[i];
        auto* label = qobject_cast<QLabel*>(widgets[i]);
        if (!isLabel(c.kind) || !label) continue;
        if (!c.labels.empty()) {
            for (int id : c.labels) nameBy(label, c.text, control(host, id));
        } else if (i + 1 < dialog.controls.size() && needsLabel(dialog.controls[i + 1].kind)) {
            nameBy(label, c.text, widgets[i + 1]);
        }
    }
}

void nameUpDownsByEdits(const DialogTemplate& dialog, const std::vector<QWidget*>& widgets) {
    for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
        const ControlTemplate& c = dialog.controls[i];
        QWidget* edit = control(widgets[i]->parentWidget(), c.buddy);
        if (c.kind == ControlKind::UpDown && edit && widgets[i]->accessibleName().isEmpty()) {
            widgets[i]->setAccessibleName(edit->accessibleName());
        }
    }
}

}  // namespace

void nameControls(const DialogTemplate& dialog, const std::vector<QWidget*>& widgets) {
    for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
        const ControlTemplate& c = dialog.controls[i];
        if (carriesOwnText(c.kind)) widgets[i]->setAccessibleName(accessibleText(c.text));
        if (!c.description.isEmpty()) widgets[i]->setAccessibleDescription(c.description);
    }
    nameByLabels(dialog, widgets);
    nameUpDownsByEdits(dialog, widgets);
}

}  // namespace qm::ui
