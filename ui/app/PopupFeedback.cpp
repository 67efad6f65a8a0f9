#include "ui/app/PopupFeedback.h"

#include "ui/GuiQueue.h"
#include "ui/TemplateBuilder.h"
#include "ui/TemplateLoader.h"

namespace qm::ui {

namespace {

int templateOf(Popup popup) { return popup == Popup::GoodRead ? 140 : 160; }
size_t slotOf(Popup popup) { return popup == Popup::GoodRead ? 0 : 1; }

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
    // A frameless picture over other programs: without a border it melts into what is behind.
    window->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::X11BypassWindowManagerHint);
    keepFocusElsewhere(window.get());
    window->setObjectName("popup");
    window->setAttribute(Qt::WA_StyledBackground);
    window->setStyleSheet("#popup { border: 2px solid palette(dark); }");
    window->show();
    window->repaint();
    shown_[slotOf(popup)] = window.release();
    emit popupShown(popup);
}

void PopupFeedback::destroyNow(Popup popup) { delete shown_[slotOf(popup)].data(); }

}  // namespace qm::ui
