#include "platform/linux/X11ConnectionLoss.h"

#include <X11/Xlib.h>

namespace qm::linux_platform {

namespace {

std::atomic<void (*)()> lossListener{nullptr};
std::atomic<bool> anyLost{false};

// Returning hands the connection to its exit handler: ours below, or Xlib's own exit() for
// a connection that is not ours.
int carryOn(Display*) { return 0; }

void markLost(Display*, void* lost) {
    static_cast<std::atomic<bool>*>(lost)->store(true);
    anyLost = true;
    if (void (*listener)() = lossListener.load()) listener();
}

}  // namespace

void watchConnectionLoss(Display* display, std::atomic<bool>& lost) {
    XSetIOErrorHandler(carryOn);
    XSetIOErrorExitHandler(display, markLost, &lost);
}

void setConnectionLossListener(void (*listener)()) { lossListener = listener; }

bool connectionLost(const std::atomic<bool>& own) { return own.load() || anyLost.load(); }

}  // namespace qm::linux_platform
