#include "platform/linux/EndRequests.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace qm::linux_platform {

namespace {

std::atomic<int> readEnd{-1};
std::atomic<int> writeEnd{-1};

extern "C" void onEndSignal(int) { EndRequests::request(kEndSignalled); }

}  // namespace

bool EndRequests::catchSignals() {
    if (readEnd.load() < 0) {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return false;
        readEnd = ends[0];
        writeEnd = ends[1];
    }
    struct sigaction action {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
    return true;
}

int EndRequests::readFd() { return readEnd.load(); }

// Only write() and errno here: it runs inside signal handlers. A full pipe already holds a
// request, which is all the reader needs.
void EndRequests::request(EndReason why) {
    const int fd = writeEnd.load();
    if (fd < 0) return;
    const int saved = errno;
    const char byte = static_cast<char>(why);
    [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    errno = saved;
}

unsigned EndRequests::take() {
    const int fd = readEnd.load();
    unsigned reasons = 0;
    char bytes[64];
    for (ssize_t n; fd >= 0 && (n = ::read(fd, bytes, sizeof bytes)) > 0;)
        for (ssize_t i = 0; i < n; ++i) reasons |= static_cast<unsigned char>(bytes[i]);
    return reasons;
}

}  // namespace qm::linux_platform
