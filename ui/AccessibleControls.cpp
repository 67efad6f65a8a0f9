#include "ui/AccessibleControls.h"

#include <QAccessibleWidget>
#include <QLineEdit>

#include "ui/CheckBox.h"
#include "ui/ControlText.h"
#include "ui/UpDownControl.h"

namespace qm::ui {

namespace {

class AccessibleCheckBox : public QAccessibleWidget {
public:
    explicit AccessibleCheckBox(CheckBox* box) : QAccessibleWidget(box, QAccessible::CheckBox) {}

    QString text(QAccessible::Text t) const override {
        const QString text = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && text.isEmpty()) return accessibleText(box()->text());
        return text;
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = box()->isChecked();
        return state;
    }

    QStringList actionNames() const override {
        QStringList names;
        if (box()->isEnabled()) names << toggleAction() << pressAction();
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        if (action == toggleAction() || action == pressAction()) {
            if (box()->isEnabled()) box()->click();
        } else {
            QAccessibleWidget::doAction(action);
        }
    }

private:
    CheckBox* box() const { return static_cast<CheckBox*>(widget()); }
};

class AccessibleUpDown : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit AccessibleUpDown(UpDownControl* spin)
        : QAccessibleWidget(spin, QAccessible::SpinBox) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // The edit's text, as the user reads it ("3.1" for a time of 31).
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) {
            auto* edit = qobject_cast<QLineEdit*>(spin()->attachedEdit());
            return edit ? edit->text() : QString::number(spin()->position());
        }
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override {
        QStringList names;
        if (spin()->isEnabled()) names << increaseAction() << decreaseAction();
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        if (action == increaseAction() || action == decreaseAction()) {
            if (spin()->isEnabled()) spin()->step(action == increaseAction() ? 1 : -1);
        } else {
            QAccessibleWidget::doAction(action);
        }
    }

    QVariant currentValue() const override { return spin()->position(); }
    void setCurrentValue(const QVariant& value) override {
        bool isNumber = false;
        const int position = value.toInt(&isNumber);
        if (isNumber && spin()->isEnabled()) spin()->stepTo(position);
    }
    QVariant maximumValue() const override { return spin()->maximum(); }
    QVariant minimumValue() const override { return spin()->minimum(); }
    QVariant minimumStepSize() const override { return 1; }

private:
    UpDownControl* spin() const { return static_cast<UpDownControl*>(widget()); }
};

QAccessibleInterface* accessibleControl(const QString& className, QObject* object) {
    if (className == QLatin1String(CheckBox::staticMetaObject.className()))
        return new AccessibleCheckBox(static_cast<CheckBox*>(object));
    if (className == QLatin1String(UpDownControl::staticMetaObject.className()))
        return new AccessibleUpDown(static_cast<UpDownControl*>(object));
    return nullptr;
}

}  // namespace

void installAccessibleControls() {
    static const bool installed = [] {
        QAccessible::installFactory(accessibleControl);
        return true;
    }();
    (void)installed;
}

}  // namespace qm::ui
