#include "ui/GuiQueue.h"

#include <QMetaObject>
#include <QThread>

namespace qm::ui {

GuiQueue::GuiQueue(QObject* parent) : QObject(parent) {}

// Work posted behind other work rides on the wake-up already on its way.
void GuiQueue::post(std::function<void()> work) {
    bool first = false;
    {
        std::lock_guard lock(mutex_);
        first = pending_.empty();
        pending_.push_back(std::move(work));
    }
    if (first) QMetaObject::invokeMethod(this, "drain", Qt::QueuedConnection);
}

void GuiQueue::drain() {
    for (;;) {
        std::function<void()> next;
        {
            std::lock_guard lock(mutex_);
            if (pending_.empty()) return;
            next = std::move(pending_.front());
            pending_.pop_front();
        }
        next();
    }
}

void GuiQueue::runOnGui(std::function<void()> work) {
    if (QThread::currentThread() == thread()) {
        drain();  // keep the order of what was posted before
        work();
    } else {
        post(std::move(work));
    }
}

}  // namespace qm::ui
