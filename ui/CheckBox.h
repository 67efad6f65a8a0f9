#pragma once

#include <QCheckBox>

namespace qm::ui {

// A template's check box. Assistive technology's "Toggle" clicks it, so the handlers that act
// on a click act on it too (Qt's own toggles it without a click).
class CheckBox : public QCheckBox {
    Q_OBJECT

public:
    explicit CheckBox(const QString& text, QWidget* parent = nullptr);
};

}  // namespace qm::ui
