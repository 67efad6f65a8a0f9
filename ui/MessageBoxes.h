#pragma once

#include <QString>

class QWidget;

namespace qm::ui {

enum class BoxIcon { None, Information, Exclamation, Error };

// Modal message boxes with an OK button only. The windows go through this seam so that tests
// can see what would have been shown without a user to close it.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Returns once the box is closed. A null owner is the platform's ownerless box.
    virtual void showMessage(QWidget* owner, const QString& text, const QString& caption,
                             BoxIcon icon = BoxIcon::None) = 0;
};

// The desktop's own boxes.
class QtMessageBoxes : public MessageBoxes {
public:
    void showMessage(QWidget* owner, const QString& text, const QString& caption,
                     BoxIcon icon) override;
};

}  // namespace qm::ui
