#pragma once

#include <QString>

class QWidget;

namespace qm::ui {

enum class BoxIcon { None, Information, Exclamation, Error };

// Modal message boxes with an OK button (and at most one more). The windows go through this seam so
// that tests can see what would have been shown without a user to close it.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Returns once the box is closed. A null owner is the platform's ownerless box.
    virtual void showMessage(QWidget* owner, const QString& text, const QString& caption,
                             BoxIcon icon = BoxIcon::None) = 0;
    // The same box offering one more button beside OK, labelled `choice`; true when that
    // was pressed. OK stays the default, and closing the box is OK.
    virtual bool offerChoice(QWidget* owner, const QString& text, const QString& caption,
                             const QString& choice, BoxIcon icon = BoxIcon::None) {
        static_cast<void>(choice);
        showMessage(owner, text, caption, icon);
        return false;
    }
};

// The desktop's own boxes. On a platform that shows no window (offscreen, minimal) nobody
// could ever close one: there every box is answered with OK at once.
class QtMessageBoxes : public MessageBoxes {
public:
    void showMessage(QWidget* owner, const QString& text, const QString& caption,
                     BoxIcon icon) override;
    bool offerChoice(QWidget* owner, const QString& text, const QString& caption,
                     const QString& choice, BoxIcon icon) override;
};

// Boxes for a run without windows (--no-window): each is answered with OK at once. Whoever
// raises one writes what it says to standard error.
class UnseenBoxes : public MessageBoxes {
public:
    void showMessage(QWidget*, const QString&, const QString&, BoxIcon) override {}
};

// Whether the platform shows windows anybody can see.
bool windowsCanBeSeen();

}  // namespace qm::ui
