#include "ui/GuiQueue.h"

#include <QThread>

namespace qm::ui {

namespace {
// Short enough for a popup to appear "at once", long enough to cost nothing while idle.
constexpr int kDrainIntervalMs = 5;
}  // namespace

GuiQueue::GuiQueue(QObject* parent) : QObject(parent) {
    timer_.setInterval(kDrainIntervalMs);
    connect(&timer_, &QTimer::timeout, this, &GuiQueue::drain);
    timer_.start();
}

void GuiQueue::post(std::function<void()> work) {
    std::lock_guard lock(mutex_);
    pending_.push_back(std::move(work));
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
