#include "ui/BusyWork.h"

#include <QApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <thread>

#include "ui/GuiQueue.h"

namespace qm::ui {

namespace {
constexpr int kRepaintIntervalMs = 40;
// Only the GUI thread runs busy work, so it alone counts.
int busyDepth = 0;
}  // namespace

bool busyWorkRunning() { return busyDepth > 0; }

// The worker ends the loop with a queued call when it is done, and what it posts wakes the
// GUI thread itself, so nothing here polls. The call goes by name: a functor would be memory
// of ours freed on the GUI thread through Qt's queue, a hand-over the sanitizer cannot see.
void runWhileRepainting(QWidget* window, GuiQueue& queue, const std::function<void()>& work) {
    QPointer<QWidget> watched(window);
    QEventLoop loop;
    QTimer repaint;
    repaint.setInterval(kRepaintIntervalMs);
    QObject::connect(&repaint, &QTimer::timeout, [&] {
        if (watched) {
            watched->update();
            return;
        }
        for (QWidget* shown : QApplication::topLevelWidgets())
            if (shown->isVisible()) shown->update();
    });
    std::thread worker([&] {
        work();
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    repaint.start();
    ++busyDepth;
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    --busyDepth;
    worker.join();
    queue.drain();
}

}  // namespace qm::ui
