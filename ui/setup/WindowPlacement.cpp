#include "ui/setup/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace qm::ui {

namespace {

QPoint keptInside(QRect frame, const QRect& area) {
    frame.moveLeft(std::max(area.left(), std::min(frame.left(), area.right() - frame.width())));
    frame.moveTop(std::max(area.top(), std::min(frame.top(), area.bottom() - frame.height())));
    return frame.topLeft();
}

}  // namespace

void placeOverOwner(QWidget* window, const QWidget* owner) {
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    QRect frame(QPoint(0, 0), window->frameSize());
    if (owner)
        frame.moveTopLeft(owner->window()->frameGeometry().topLeft());
    else
        frame.moveCenter(area.center());
    window->move(keptInside(frame, area));
}

}  // namespace qm::ui
