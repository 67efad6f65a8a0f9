#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace qm {
struct ProcessState;
}

namespace qm::app {

// Whatever ends the desktop session ends the wedge in order. SIGTERM, SIGINT and SIGHUP (a
// user unit stopped, a logout) and the loss of one of our own X connections reach the GUI
// thread's event loop, which calls `endRequested`. Where the display goes under Qt itself,
// its platform plugin calls exit() from inside the event loop: a guard run by exit() then
// stops scanning and switches the beam off first, and ends the process with status 0 before
// anything of the GUI is torn down under the threads still running.
class SessionEnd : public QObject {
public:
    SessionEnd(ProcessState& state, std::function<void()> endRequested);
    ~SessionEnd() override;

    // Once more right before the event loop: exit() runs the guards registered last first,
    // ahead of the static objects made until then.
    void guardExit();
    // After the orderly end: exit() is the program's own again.
    void disarm();

    bool displayLost() const { return displayLost_; }

private:
    void takeRequests();

    std::function<void()> endRequested_;
    std::unique_ptr<QSocketNotifier> notifier_;
    bool displayLost_ = false;
};

}  // namespace qm::app
