#include "ui/RoomForTexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QStyle>
#include <algorithm>

namespace qm::ui {

namespace {

bool widensToText(const QWidget* w) {
    return qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w) ||
           qobject_cast<const QComboBox*>(w);
}

bool sharesRow(const QRect& a, const QRect& b) {
    return a.top() <= b.bottom() && b.top() <= a.bottom();
}

// Where the row ends for a control at `area`: the host's edge, the next control to its right,
// or just inside the frame of a group box that holds it.
int rightLimit(const QRect& area, const QWidget* host, const std::vector<QWidget*>& widgets) {
    int limit = host->width();
    const int frame = host->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, host);
    for (const QWidget* other : widgets) {
        const QRect r = other->geometry();
        if (qobject_cast<const QGroupBox*>(other) && r.contains(area.center())) {
            limit = std::min(limit, r.right() - 2 * frame);
        } else if (r.left() >= area.right() && sharesRow(r, area)) {
            limit = std::min(limit, r.left());
        }
    }
    return limit;
}

}  // namespace

void widenToTheirTexts(QWidget* host, const std::vector<QWidget*>& widgets) {
    for (QWidget* w : widgets) {
        if (!widensToText(w)) continue;
        QRect area = w->geometry();
        const int wanted = w->sizeHint().width();
        if (wanted <= area.width()) continue;
        const int room = rightLimit(area, host, widgets) - area.left();
        area.setWidth(std::max(area.width(), std::min(wanted, room)));
        w->setGeometry(area);
    }
}

}  // namespace qm::ui
