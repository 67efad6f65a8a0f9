#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <array>

#include "platform/Feedback.h"

namespace qm::ui {

class GuiQueue;

// The two read-feedback popups drawn on the GUI thread, whichever thread asks. They never take
// the keyboard focus, so the typing goes on landing where it did. Sounds go to `sounds`.
class PopupFeedback : public QObject, public Feedback {
    Q_OBJECT
public:
    PopupFeedback(GuiQueue& queue, Feedback* sounds);
    ~PopupFeedback() override;

    void playSystemSound(uint32_t type) override;
    void showPopup(Popup popup) override;
    void destroyPopup(Popup popup) override;

    // The popup's window while it is shown, on the GUI thread.
    QWidget* shownPopup(Popup popup) const;

    // Drawn natively on Wayland, a popup is a surface attached to one of ours: this window's.
    void anchorTo(QWidget* window) { anchor_ = window; }

signals:
    void popupShown(qm::Popup popup);

private:
    void showNow(Popup popup);
    void destroyNow(Popup popup);

    GuiQueue& queue_;
    Feedback* sounds_;
    std::array<QPointer<QWidget>, 2> shown_;
    QPointer<QWidget> anchor_;
};

// A window that shows itself without taking the focus: the popups, the simulated engine.
void keepFocusElsewhere(QWidget* window);

}  // namespace qm::ui
