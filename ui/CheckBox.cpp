#include "ui/CheckBox.h"

#include "ui/AccessibleControls.h"

namespace qm::ui {

CheckBox::CheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {
    installAccessibleControls();
}

}  // namespace qm::ui
