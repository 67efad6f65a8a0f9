#include "platform/linux/PseudoTerminal.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace qm::linux_platform {
namespace {

bool makeRaw(int fd) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) return false;
    cfmakeraw(&settings);
    return tcsetattr(fd, TCSANOW, &settings) == 0;
}

std::string failure(const char* step) { return std::string(step) + ": " + std::strerror(errno); }

}  // namespace

std::unique_ptr<PseudoTerminal> PseudoTerminal::open(std::string& error) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) {
        error = failure("posix_openpt");
        return nullptr;
    }
    const char* name = nullptr;
    if (grantpt(master) != 0) {
        error = failure("grantpt");
    } else if (unlockpt(master) != 0) {
        error = failure("unlockpt");
    } else if ((name = ptsname(master)) == nullptr) {
        error = failure("ptsname");
    } else if (!makeRaw(master)) {
        error = failure("raw mode");
    } else {
        return std::unique_ptr<PseudoTerminal>(new PseudoTerminal(master, name));
    }
    ::close(master);
    return nullptr;
}

PseudoTerminal::PseudoTerminal(int master, std::string slavePath)
    : master_(master), slavePath_(std::move(slavePath)) {}

PseudoTerminal::~PseudoTerminal() {
    if (heldSlave_ >= 0) ::close(heldSlave_);
    ::close(master_);
}

bool PseudoTerminal::holdSlaveOpen() {
    if (heldSlave_ >= 0) return true;
    heldSlave_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY);
    return heldSlave_ >= 0 && makeRaw(heldSlave_);
}

IoResult PseudoTerminal::read(uint8_t* buffer, size_t count, int64_t timeoutMicros) {
    pollfd watched{master_, POLLIN, 0};
    const timespec timeout{static_cast<time_t>(timeoutMicros / 1'000'000),
                           static_cast<long>(timeoutMicros % 1'000'000 * 1000)};
    const int ready = ppoll(&watched, 1, &timeout, nullptr);
    if (ready < 0) return {errno == EINTR, 0};
    if (ready == 0) return {true, 0};
    const ssize_t got = ::read(master_, buffer, count);
    if (got < 0) return {errno == EAGAIN || errno == EINTR, 0};
    return {true, static_cast<size_t>(got)};
}

IoResult PseudoTerminal::write(const uint8_t* bytes, size_t count) {
    size_t done = 0;
    while (done < count) {
        const ssize_t put = ::write(master_, bytes + done, count - done);
        if (put < 0 && errno == EINTR) continue;
        if (put < 0) return {false, done};
        done += static_cast<size_t>(put);
    }
    return {true, done};
}

}  // namespace qm::linux_platform
