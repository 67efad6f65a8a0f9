#pragma once

#include <functional>

class QObject;

namespace qm::ui {

// Control handlers run one at a time, each to its end. A handler's engine work runs beside an
// event loop that keeps the windows painted; what reaches a control there (an accessibility
// client's actions and the keys it hands back, timers) would otherwise start a second handler
// in the middle of the first, on values the first has not finished with. Such a handler
// waits and runs, in order, as soon as the ones before it have ended. GUI thread only.

// Runs `handler` now, or after the running ones; never when `control` is gone by then.
void runHandler(const QObject* control, std::function<void()> handler);

// The same for a handler that opens a modal dialog of its own: it waits for a running
// handler, but the handlers of its dialog's controls do not wait for it.
void runBesideHandlers(const QObject* control, std::function<void()> handler);

// Whether a handler is running now.
bool handlerRunning();

}  // namespace qm::ui
