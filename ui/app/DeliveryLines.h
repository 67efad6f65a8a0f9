#pragma once

#include <QWidget>

#include "ui/app/DeliveryStatus.h"

class QLabel;

namespace qm::ui {

// Lines under the main dialog's buttons: how bar codes are typed, where trigger presses come
// from, and how many reads reached no application. Each is a label assistive technology reads
// under its own text, wrapped to the dialog's width at any font.
class DeliveryLines : public QWidget {
    Q_OBJECT
public:
    DeliveryLines(DeliveryStatusBoard& board, QWidget* parent);

    // The height the lines need at `width`.
    int heightFor(int width) const;

signals:
    void resized();

private:
    void show(const DeliveryStatus& status);

    QLabel* typing_;
    QLabel* triggers_;
    QLabel* lost_;
};

// The lost-decodes line's text; empty while none was lost.
QString lostDecodesText(int lost);

}  // namespace qm::ui
