#pragma once

namespace qm::linux_platform {

// Why the run is to end, as bits.
enum EndReason : unsigned { kEndSignalled = 1, kEndDisplayLost = 2 };

// Requests for an orderly end from places that cannot run it themselves: a signal handler, a
// thread that saw the display go. Each is one byte on a pipe that the GUI thread's event loop
// watches. Process-wide.
class EndRequests {
public:
    // Makes SIGTERM, SIGINT and SIGHUP such requests. False when the pipe cannot be made.
    static bool catchSignals();
    // The end of the pipe to watch for reading; -1 before catchSignals.
    static int readFd();
    // From any thread, signal handlers included.
    static void request(EndReason why);
    // Takes the requests that came so far: the bits of their reasons, 0 for none.
    static unsigned take();
};

}  // namespace qm::linux_platform
