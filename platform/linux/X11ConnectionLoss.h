#pragma once

#include <atomic>

struct _XDisplay;

namespace qm::linux_platform {

// What a connection of ours to the X server does when the server goes (the session ends, the
// server is killed): instead of Xlib's exit() from whichever thread saw it, which tears down
// the GUI thread's objects under it, `lost` is set, so the connection's users stop using it,
// and the listener set below is told. Call it once the display is open; it also takes over
// Xlib's process-wide I/O error handler, whose default would exit before the connection's own
// exit handler is reached.
void watchConnectionLoss(_XDisplay* display, std::atomic<bool>& lost);

// Told of every lost connection, on the thread that saw it: it must not block or take locks.
void setConnectionLossListener(void (*listener)());

// Whether `own` or any other connection of ours was lost. They all go to the one server, and
// a connection that has not read since the server went does not know it yet: Xlib calls on it
// would fail half-way, some of them (the keyboard map's) by following pointers they freed.
bool connectionLost(const std::atomic<bool>& own);

}  // namespace qm::linux_platform
