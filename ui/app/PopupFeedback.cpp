#include "ui/app/PopupFeedback.h"

#include <QGuiApplication>
#include <QWindow>

#include "ui/GuiQueue.h"
#include "ui/TemplateBuilder.h"
#include "ui/TemplateLoader.h"

namespace qm::ui {

namespace {

int templateOf(Popup popup) { return popup == Popup::GoodRead ? 140 : 160; }
size_t slotOf(Popup popup) { return popup == Popup::GoodRead ? 0 : 1; }

bool drawnNativelyOnWayland() { return QGuiApplication::platformName().startsWith("wayland"); }

// A frameless picture over other programs. Through X (XWayland included) a window the window
// manager does not manage, which it never hands the focus to; natively on Wayland a tooltip,
// a popup surface without a grab, which no compositor gives the keyboard.
void shapePopup(QWidget* window, QWidget* anchor) {
    if (drawnNativelyOnWayland()) {
        // A child of the anchor's, so that its surface is attached to the anchor's.
        window->setParent(anchor, Qt::ToolTip | Qt::FramelessWindowHint);
        return;
    }
    window->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::X11BypassWindowManagerHint);
}

}  // namespace

void keepFocusElsewhere(QWidget* window) {
    window->setAttribute(Qt::WA_ShowWithoutActivating);
    window->setWindowFlag(Qt::WindowDoesNotAcceptFocus);
}

PopupFeedback::PopupFeedback(GuiQueue& queue, Feedback* sounds) : queue_(queue), sounds_(sounds) {}

PopupFeedback::~PopupFeedback() {
    for (auto& window : shown_) delete window.data();
}

void PopupFeedback::playSystemSound(uint32_t type) {
    if (sounds_) sounds_->playSystemSound(type);
}

void PopupFeedback::showPopup(Popup popup) {
    queue_.post([this, popup] { showNow(popup); });
}

void PopupFeedback::destroyPopup(Popup popup) {
    queue_.post([this, popup] { destroyNow(popup); });
}

QWidget* PopupFeedback::shownPopup(Popup popup) const { return shown_[slotOf(popup)].data(); }

void PopupFeedback::showNow(Popup popup) {
    destroyNow(popup);
    auto window = buildWidget(requireTemplate(templateOf(popup)));
    shapePopup(window.get(), anchor_);
    keepFocusElsewhere(window.get());
    window->setObjectName("popup");
    // Without a border it melts into what is behind.
    window->setAttribute(Qt::WA_StyledBackground);
    window->setStyleSheet("#popup { border: 2px solid palette(dark); }");
    window->show();
    window->repaint();
    shown_[slotOf(popup)] = window.release();
    emit popupShown(popup);
}

void PopupFeedback::destroyNow(Popup popup) { delete shown_[slotOf(popup)].data(); }

}  // namespace qm::ui
