#include "ui/BusyWork.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <thread>

#include "ui/GuiQueue.h"

namespace qm::ui {

namespace {
constexpr int kRepaintIntervalMs = 40;
// How soon the end of the work is noticed: well inside one frame.
constexpr int kDoneCheckIntervalMs = 2;
}  // namespace

void runWhileRepainting(QWidget* window, GuiQueue& queue, const std::function<void()>& work) {
    std::atomic<bool> done{false};
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
    QTimer doneCheck;
    doneCheck.setInterval(kDoneCheckIntervalMs);
    QObject::connect(&doneCheck, &QTimer::timeout, [&] {
        queue.drain();
        if (done.load()) loop.quit();
    });
    std::thread worker([&] {
        work();
        done.store(true);
    });
    repaint.start();
    doneCheck.start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    queue.drain();
}

}  // namespace qm::ui
