#pragma once

#include <functional>

class QWidget;

namespace qm::ui {

class GuiQueue;

// Runs engine work that may take seconds (initialising the engine, a scan test, a burn) on a
// thread of its own while the GUI thread goes on repainting `window` (every shown window when
// null) at least every 100 ms and
// handing out what the work posts to `queue`. Input stays queued until the work ends, so one
// engine conversation is over before the next control acts. Returns when the work is done and
// everything it posted has run.
void runWhileRepainting(QWidget* window, GuiQueue& queue, const std::function<void()>& work);

// On the GUI thread: whether such work is running now, for work that must not start inside
// another's (what comes in meanwhile through the session bus, which is not input the loop
// holds back, has to wait for it).
bool busyWorkRunning();

}  // namespace qm::ui
