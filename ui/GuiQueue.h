#pragma once

#include <QObject>
#include <deque>
#include <functional>
#include <mutex>

namespace qm::ui {

// Work other threads hand to the GUI thread: the read-feedback popups of the scanning thread,
// the status texts and progress of engine work running beside the GUI. Posting never waits.
// The work itself passes through a plain mutex, so every hand-over is one the thread sanitizer
// can follow; a post into an empty queue wakes the GUI thread with one queued call by name,
// which carries nothing of ours, and nothing wakes it while nothing is posted.
class GuiQueue : public QObject {
    Q_OBJECT

public:
    explicit GuiQueue(QObject* parent = nullptr);

    // From any thread.
    void post(std::function<void()> work);

    // On the GUI thread: runs what was posted so far, in order.
    Q_INVOKABLE void drain();

    // On the GUI thread: runs `work` now when called there, else posts it.
    void runOnGui(std::function<void()> work);

private:
    std::mutex mutex_;
    std::deque<std::function<void()>> pending_;
};

}  // namespace qm::ui
