#include "ui/MessageBoxes.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>

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

bool windowsCanBeSeen() {
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

void QtMessageBoxes::showMessage(QWidget* owner, const QString& text, const QString& caption,
                                 BoxIcon icon) {
    if (!windowsCanBeSeen()) return;
    QMessageBox box(qtIcon(icon), caption, text, QMessageBox::Ok, owner);
    box.exec();
}

bool QtMessageBoxes::offerChoice(QWidget* owner, const QString& text, const QString& caption,
                                 const QString& choice, BoxIcon icon) {
    if (!windowsCanBeSeen()) return false;
    QMessageBox box(qtIcon(icon), caption, text, QMessageBox::Ok, owner);
    QPushButton* offered = box.addButton(choice, QMessageBox::AcceptRole);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
    return box.clickedButton() == offered;
}

}  // namespace qm::ui
