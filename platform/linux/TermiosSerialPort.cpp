#include "platform/linux/TermiosSerialPort.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <iterator>
#include <optional>
#include <utility>

namespace qm::linux_platform {

namespace {

using Clock = std::chrono::steady_clock;
using Deadline = std::optional<Clock::time_point>;

// ---- time-outs ----

// Far beyond any real time-out, and far inside what a time_point can hold.
constexpr uint64_t kLongestWaitMs = 1'000'000'000'000ull;

// multiplier * n + constant from `start`; both 0 means the transfer has no total limit.
Deadline totalDeadline(Clock::time_point start, uint32_t multiplier, uint32_t constant, size_t n) {
    if (multiplier == 0 && constant == 0) return std::nullopt;
    uint64_t ms = constant;
    if (multiplier != 0) ms += std::min<uint64_t>(n, kLongestWaitMs / multiplier) * multiplier;
    return start + std::chrono::milliseconds(std::min(ms, kLongestWaitMs));
}

Deadline earliest(Deadline a, Deadline b) {
    if (!a) return b;
    if (!b) return a;
    return std::min(*a, *b);
}

// The poll() time-out until `deadline`, rounded up so a wait never ends just short of
// it; -1 waits without limit; nullopt once the deadline has passed.
std::optional<int> pollTimeout(Deadline deadline) {
    if (!deadline) return -1;
    auto left = *deadline - Clock::now();
    if (left <= Clock::duration::zero()) return std::nullopt;
    auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return static_cast<int>(std::min<int64_t>(ms, INT_MAX));
}

enum class Readiness { Ready, HungUp, Failed };

// One wait for `events`. An interrupted or expired wait reports Ready: the caller
// tries the transfer again and checks its deadline, which covers both.
// An abort wakes the wait through `abortFd` and fails it; a nudge through `nudgeFd` (when not
// -1) is taken and ends the wait as Ready, for the caller to look again at why it waits.
Readiness waitFor(int fd, int abortFd, short events, int timeoutMs, int nudgeFd = -1) {
    pollfd p[3] = {{fd, events, 0}, {abortFd, POLLIN, 0}, {nudgeFd, POLLIN, 0}};
    int n = ::poll(p, nudgeFd >= 0 ? 3 : (abortFd >= 0 ? 2 : 1), timeoutMs);
    if (n < 0) return errno == EINTR ? Readiness::Ready : Readiness::Failed;
    if (p[1].revents & POLLIN) return Readiness::Failed;
    if (p[2].revents & POLLIN) {
        uint64_t nudges = 0;
        [[maybe_unused]] const ssize_t taken = ::read(nudgeFd, &nudges, sizeof nudges);
    }
    if (p[0].revents & POLLNVAL) return Readiness::Failed;
    if (p[0].revents & (POLLHUP | POLLERR)) return Readiness::HungUp;
    return Readiness::Ready;
}

void bumpEventFd(int fd) {
    if (fd < 0) return;
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(fd, &one, sizeof one);
}

bool wouldBlock(ssize_t r) {
    return r == 0 || (r < 0 && (errno == EAGAIN || errno == EWOULDBLOCK));
}

// ---- line settings ----

struct Speed {
    speed_t code;
    uint32_t baud;
};

constexpr Speed kSpeeds[] = {
    {B50, 50},           {B75, 75},           {B110, 110},         {B134, 134},
    {B150, 150},         {B200, 200},         {B300, 300},         {B600, 600},
    {B1200, 1200},       {B1800, 1800},       {B2400, 2400},       {B4800, 4800},
    {B9600, 9600},       {B19200, 19200},     {B38400, 38400},     {B57600, 57600},
    {B115200, 115200},   {B230400, 230400},   {B460800, 460800},   {B500000, 500000},
    {B576000, 576000},   {B921600, 921600},   {B1000000, 1000000}, {B1152000, 1152000},
    {B1500000, 1500000}, {B2000000, 2000000}, {B2500000, 2500000}, {B3000000, 3000000},
    {B3500000, 3500000}, {B4000000, 4000000},
};

// 0 for a speed outside the table (B0 included).
uint32_t baudOf(speed_t code) {
    auto it = std::find_if(std::begin(kSpeeds), std::end(kSpeeds),
                           [code](const Speed& s) { return s.code == code; });
    return it == std::end(kSpeeds) ? 0 : it->baud;
}

std::optional<speed_t> speedOf(uint32_t baud) {
    auto it = std::find_if(std::begin(kSpeeds), std::end(kSpeeds),
                           [baud](const Speed& s) { return s.baud == baud; });
    if (it == std::end(kSpeeds)) return std::nullopt;
    return it->code;
}

constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};

uint8_t dataBitsOf(tcflag_t cflag) {
    auto it = std::find(std::begin(kSizes), std::end(kSizes), cflag & CSIZE);
    return static_cast<uint8_t>(5 + (it - std::begin(kSizes)));
}

Parity parityOf(tcflag_t cflag) {
    if (!(cflag & PARENB)) return Parity::None;
    bool odd = cflag & PARODD;
    if (cflag & CMSPAR) return odd ? Parity::Mark : Parity::Space;
    return odd ? Parity::Odd : Parity::Even;
}

tcflag_t parityFlags(Parity parity) {
    switch (parity) {
        case Parity::None:
            return 0;
        case Parity::Odd:
            return PARENB | PARODD;
        case Parity::Even:
            return PARENB;
        case Parity::Mark:
            return PARENB | CMSPAR | PARODD;
        case Parity::Space:
            return PARENB | CMSPAR;
    }
    return 0;
}

// With five data bits the UART's second stop bit is one and a half bits long.
StopBits stopBitsOf(tcflag_t cflag) {
    if (!(cflag & CSTOPB)) return StopBits::One;
    return (cflag & CSIZE) == CS5 ? StopBits::OnePointFive : StopBits::Two;
}

bool stopBitsFit(StopBits stop, uint8_t dataBits) {
    if (stop == StopBits::One) return true;
    return (stop == StopBits::OnePointFive) == (dataBits == 5);
}

void setFlag(tcflag_t& flags, tcflag_t flag, bool on) {
    if (on) {
        flags |= flag;
    } else {
        flags &= ~flag;
    }
}

void makeRaw(termios& t) {
    t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag |= CLOCAL | CREAD;
    // A blocking read would wait for one byte; reads here never block anyway.
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
}

// Linux has no DSR output flow control and no DTR handshake.
bool expressible(const LineSettings& s) {
    return !s.dsrOutputFlow && s.dtrControl != LineControl::Handshake && s.dataBits >= 5 &&
           s.dataBits <= 8 && stopBitsFit(s.stopBits, s.dataBits) && speedOf(s.baudRate);
}

// RTS handshake and CTS output flow are one switch on Linux.
void applyFraming(termios& t, const LineSettings& s) {
    makeRaw(t);
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_cflag |= kSizes[s.dataBits - 5] | parityFlags(s.parity);
    setFlag(t.c_cflag, CSTOPB, s.stopBits != StopBits::One);
    setFlag(t.c_cflag, CRTSCTS, s.ctsOutputFlow || s.rtsControl == LineControl::Handshake);
    setFlag(t.c_iflag, IXON, s.xonXoffOutput);
    setFlag(t.c_iflag, IXOFF, s.xonXoffInput);
}

// ---- modem lines ----

// A pseudo-terminal answers modem-line requests with one of these: it has no lines.
bool noModemLines(int err) { return err == ENOTTY || err == EINVAL; }

// Raises or lowers a line; a device without modem lines accepts the change.
bool driveModemLine(int fd, int line, bool on) {
    int bits = line;
    if (::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bits) == 0) return true;
    return noModemLines(errno);
}

bool driveControl(int fd, int line, LineControl control) {
    if (control == LineControl::Handshake) return true;
    return driveModemLine(fd, line, control == LineControl::Enable);
}

std::optional<int> modemLines(int fd) {
    int lines = 0;
    if (::ioctl(fd, TIOCMGET, &lines) != 0) return std::nullopt;
    return lines;
}

LineControl controlOf(std::optional<int> lines, int line) {
    if (!lines) return LineControl::Enable;
    return (*lines & line) ? LineControl::Enable : LineControl::Disable;
}

constexpr struct {
    int line;
    uint32_t bit;
} kStatusBits[] = {
    {TIOCM_CTS, kModemCts}, {TIOCM_DSR, kModemDsr}, {TIOCM_RI, 0x40}, {TIOCM_CD, 0x80}};

uint32_t statusOf(int lines) {
    uint32_t status = 0;
    for (const auto& b : kStatusBits) {
        if (lines & b.line) status |= b.bit;
    }
    return status;
}

}  // namespace

TermiosSerialPort::TermiosSerialPort(int fd, std::string path)
    : fd_(fd),
      path_(std::move(path)),
      abortFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
      nudgeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

TermiosSerialPort::~TermiosSerialPort() {
    // The exclusive flag belongs to the tty, not the descriptor, and would outlive us
    // while anyone else holds the device open.
    ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    if (abortFd_ >= 0) ::close(abortFd_);
    if (nudgeFd_ >= 0) ::close(nudgeFd_);
}

bool TermiosSerialPort::enterRawMode() {
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) return false;
    makeRaw(t);
    return ::tcsetattr(fd_, TCSANOW, &t) == 0;
}

bool TermiosSerialPort::getTimeouts(SerialTimeouts& out) {
    out = timeouts_;
    return true;
}

bool TermiosSerialPort::setTimeouts(const SerialTimeouts& timeouts) {
    timeouts_ = timeouts;
    return true;
}

bool TermiosSerialPort::getLineSettings(LineSettings& out) {
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) return false;
    std::optional<int> lines = modemLines(fd_);
    out = LineSettings{};
    out.baudRate = baudOf(::cfgetospeed(&t));
    out.dataBits = dataBitsOf(t.c_cflag);
    out.parity = parityOf(t.c_cflag);
    out.stopBits = stopBitsOf(t.c_cflag);
    out.ctsOutputFlow = t.c_cflag & CRTSCTS;
    out.xonXoffOutput = t.c_iflag & IXON;
    out.xonXoffInput = t.c_iflag & IXOFF;
    out.dtrControl = controlOf(lines, TIOCM_DTR);
    out.rtsControl = controlOf(lines, TIOCM_RTS);
    return true;
}

bool TermiosSerialPort::setLineSettings(const LineSettings& settings) {
    if (!expressible(settings)) return false;
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) return false;
    applyFraming(t, settings);
    speed_t speed = *speedOf(settings.baudRate);
    if (::cfsetispeed(&t, speed) != 0 || ::cfsetospeed(&t, speed) != 0) return false;
    if (::tcsetattr(fd_, TCSANOW, &t) != 0) return false;
    return driveControl(fd_, TIOCM_DTR, settings.dtrControl) &&
           driveControl(fd_, TIOCM_RTS, settings.rtsControl);
}

bool TermiosSerialPort::setRts(bool on) { return !aborted_ && driveModemLine(fd_, TIOCM_RTS, on); }

// Without modem lines nothing can hold the peer back: report it always ready.
bool TermiosSerialPort::getModemStatus(uint32_t& status) {
    if (aborted_) return false;
    int lines = 0;
    if (::ioctl(fd_, TIOCMGET, &lines) == 0) {
        status = statusOf(lines);
        return true;
    }
    if (!noModemLines(errno)) return false;
    status = kModemCts | kModemDsr;
    return true;
}

// Nothing waits for events here; the mask is only kept.
bool TermiosSerialPort::setEventMask(uint32_t mask) {
    eventMask_ = mask;
    return true;
}

// The tty driver keeps no sticky error state to reset, so counting is all there is:
// parity and framing errors arrive as (or replace) bytes in the queue itself.
bool TermiosSerialPort::inputQueueLength(uint32_t& count) {
    if (aborted_) return false;
    int waiting = 0;
    if (::ioctl(fd_, FIONREAD, &waiting) != 0 || waiting < 0) return false;
    count = static_cast<uint32_t>(waiting);
    return true;
}

IoResult TermiosSerialPort::read(uint8_t* buffer, size_t count) {
    return readCutShort(buffer, count, nullptr);
}

// Each raise nudges the poll() of the read, which then asks `endEarly` again.
IoResult TermiosSerialPort::readUnless(uint8_t* buffer, size_t count, Wakeup& wake,
                                       const std::function<bool()>& endEarly) {
    if (nudgeFd_ < 0) return read(buffer, count);
    const auto nudges = wake.subscribe([this] { bumpEventFd(nudgeFd_); });
    return readCutShort(buffer, count, &endEarly);
}

IoResult TermiosSerialPort::readCutShort(uint8_t* buffer, size_t count,
                                         const std::function<bool()>* endEarly) {
    const Deadline total = totalDeadline(Clock::now(), timeouts_.readTotalMultiplier,
                                         timeouts_.readTotalConstant, count);
    const auto interval = std::chrono::milliseconds(timeouts_.readInterval);
    const bool limitedInterval = timeouts_.readIntervalLimits();
    size_t got = 0;
    Deadline nextByteDue;
    bool hungUp = false;
    while (got < count) {
        if (aborted_) return {false, got};
        ssize_t r = ::read(fd_, buffer + got, count - got);
        if (r > 0) {
            got += static_cast<size_t>(r);
            if (limitedInterval) nextByteDue = Clock::now() + interval;
            continue;
        }
        if (r < 0 && errno == EINTR) continue;
        // Nothing to read after the peer hung up: it is gone, not just quiet.
        if (!wouldBlock(r) || hungUp) return {false, got};
        if (timeouts_.readReturnsAtOnce()) break;
        if (got == 0 && endEarly && (*endEarly)()) break;
        std::optional<int> wait = pollTimeout(earliest(total, nextByteDue));
        if (!wait) break;
        Readiness ready = waitFor(fd_, abortFd_, POLLIN, *wait, endEarly ? nudgeFd_ : -1);
        if (ready == Readiness::Failed) return {false, got};
        hungUp = ready == Readiness::HungUp;
    }
    return {true, got};
}

// No tcdrain() afterwards: bytes handed to the driver count as written, and a
// pseudo-terminal whose reader stalls would never drain.
IoResult TermiosSerialPort::write(const uint8_t* bytes, size_t count) {
    const Deadline total = totalDeadline(Clock::now(), timeouts_.writeTotalMultiplier,
                                         timeouts_.writeTotalConstant, count);
    size_t sent = 0;
    while (sent < count) {
        if (aborted_) return {false, sent};
        ssize_t r = ::write(fd_, bytes + sent, count - sent);
        if (r > 0) {
            sent += static_cast<size_t>(r);
            continue;
        }
        if (r < 0 && errno == EINTR) continue;
        if (!wouldBlock(r)) return {false, sent};
        std::optional<int> wait = pollTimeout(total);
        if (!wait) break;
        if (waitFor(fd_, abortFd_, POLLOUT, *wait) == Readiness::Failed) return {false, sent};
    }
    return {true, sent};
}

// A tty whose device went away is hung up for good; a node removed or replaced (a new device
// at the same path) leaves our descriptor on the old one.
bool TermiosSerialPort::deviceLost() {
    if (lost_) return true;
    pollfd p{fd_, 0, 0};
    const bool hungUp = ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLNVAL)) != 0;
    if (hungUp || !stillAtPath()) lost_ = true;
    return lost_;
}

bool TermiosSerialPort::stillAtPath() const {
    if (path_.empty()) return true;
    struct stat there {};
    if (::stat(path_.c_str(), &there) != 0) return errno != ENOENT && errno != ENOTDIR;
    struct stat mine {};
    if (::fstat(fd_, &mine) != 0) return true;
    return there.st_dev == mine.st_dev && there.st_ino == mine.st_ino &&
           there.st_rdev == mine.st_rdev;
}

void TermiosSerialPort::abort() {
    aborted_ = true;
    bumpEventFd(abortFd_);
}

}  // namespace qm::linux_platform
