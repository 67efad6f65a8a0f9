#include "ui/MessageBoxes.h"

#include <QMessageBox>

namespace qm::ui {

namespace {

QMessageBox::Icon qtIcon(BoxIcon icon) {
    switch (icon) {
        case BoxIcon::Information:
            return QMessageBox::Information;
        case BoxIcon::Exclamation:
            return QMessageBox::Warning;
        case BoxIcon::Error:
            return QMessageBox::Critical;
        case BoxIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void QtMessageBoxes::showMessage(QWidget* owner, const QString& text, const QString& caption,
                                 BoxIcon icon) {
    QMessageBox box(qtIcon(icon), caption, text, QMessageBox::Ok, owner);
    box.exec();
}

}  // namespace qm::ui
