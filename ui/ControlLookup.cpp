#include "ui/ControlLookup.h"

#include <QVariant>

#include "ui/Template.h"

namespace qm::ui {

namespace {

QString nameFor(int id) { return QStringLiteral("id%1").arg(id); }

}  // namespace

void tagControl(QWidget* widget, int id) {
    widget->setProperty(ControlIdProperty, id);
    if (id != NoId) widget->setObjectName(nameFor(id));
}

int controlId(const QWidget* widget) {
    const QVariant id = widget->property(ControlIdProperty);
    return id.isValid() ? id.toInt() : NoId;
}

QWidget* control(const QWidget* dialog, int id) {
    if (id == NoId || !dialog) return nullptr;
    return dialog->findChild<QWidget*>(nameFor(id), Qt::FindDirectChildrenOnly);
}

}  // namespace qm::ui
