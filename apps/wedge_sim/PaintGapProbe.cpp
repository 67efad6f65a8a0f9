#include "apps/wedge_sim/PaintGapProbe.h"

#include <QEvent>

namespace qm::app {

PaintGapProbe::PaintGapProbe() { clock_.start(); }

void PaintGapProbe::watch(QObject* window) { window->installEventFilter(this); }

bool PaintGapProbe::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint) {
        const qint64 now = clock_.elapsed();
        if (last_ >= 0) longest_ = std::max(longest_, now - last_);
        last_ = now;
        ++paints_;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace qm::app
