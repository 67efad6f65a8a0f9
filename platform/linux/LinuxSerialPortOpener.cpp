#include "platform/linux/LinuxSerialPortOpener.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <optional>
#include <system_error>
#include <utility>

#include "platform/linux/DeviceFolderWatch.h"
#include "platform/linux/TermiosSerialPort.h"

namespace qm::linux_platform {

namespace {

// Port names are short ASCII device names; anything else names no device.
std::optional<std::string> asciiName(const std::u16string& name) {
    std::string out;
    for (char16_t c : name) {
        if (c == 0 || c > 0x7F || c == u'/') return std::nullopt;
        out.push_back(static_cast<char>(c));
    }
    return out;
}

std::string deviceEntry(const std::string& root, const std::u16string& name) {
    std::optional<std::string> entry = asciiName(name);
    if (!entry) return {};
    if (!entry->empty() && entry->back() == ':') entry->pop_back();
    if (entry->empty() || *entry == "." || *entry == "..") return {};
    return root + "/dev/" + *entry;
}

// Both locks: the advisory lock reaches other processes and other descriptors in
// this one (the kernel lets a privileged user past TIOCEXCL), the tty flag also
// keeps out programs that never ask for the advisory lock. A refusal is EBUSY, as
// the kernel itself says when TIOCEXCL turns an open away.
int takeExclusiveUse(int fd) {
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return errno == EWOULDBLOCK ? EBUSY : errno;
    return ::ioctl(fd, TIOCEXCL) == 0 ? 0 : errno;
}

// The descriptor, or the negated reason it could not be had.
int openTty(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return -errno;
    const int refused = ::isatty(fd) ? takeExclusiveUse(fd) : ENOTTY;
    if (refused != 0) {
        ::close(fd);
        return -refused;
    }
    return fd;
}

std::string describe(int error) {
    switch (error) {
        case ENOENT:
        case ENXIO:
        case ENODEV:
            return "no such device";
        case EACCES:
        case EPERM:
            return "permission denied (the user must be in the dialout group)";
        case EBUSY:
            return "in use by another program";
        case ENOTTY:
            return "not a terminal";
        default: {
            std::string text = std::generic_category().message(error);
            if (!text.empty()) text[0] = static_cast<char>(std::tolower(text[0]));
            return text;
        }
    }
}

}  // namespace

LinuxSerialPortOpener LinuxSerialPortOpener::forDevicePath(std::string devicePath) {
    return LinuxSerialPortOpener(
        [path = std::move(devicePath)](const std::u16string&) { return path; });
}

LinuxSerialPortOpener LinuxSerialPortOpener::forDeviceRoot(std::string rootFolder) {
    return LinuxSerialPortOpener([root = std::move(rootFolder)](const std::u16string& name) {
        return deviceEntry(root, name);
    });
}

LinuxSerialPortOpener::LinuxSerialPortOpener(Resolver resolver) : resolver_(std::move(resolver)) {}

std::string LinuxSerialPortOpener::resolve(const std::u16string& name) const {
    return resolver_ ? resolver_(name) : std::string{};
}

std::unique_ptr<SerialPort> LinuxSerialPortOpener::open(const std::u16string& name) {
    lastFailure_.clear();
    const std::string path = resolve(name);
    if (path.empty()) return fail(ENOENT);
    const int fd = openTty(path);
    if (fd < 0) return fail(-fd);
    auto port = std::make_unique<TermiosSerialPort>(fd, path);
    if (!port->enterRawMode()) return fail(errno);
    return port;
}

std::string LinuxSerialPortOpener::lastFailure() const { return lastFailure_; }

bool LinuxSerialPortOpener::devicePresent(const std::u16string& name) {
    const std::string path = resolve(name);
    struct stat there {};
    return !path.empty() && ::stat(path.c_str(), &there) == 0 && S_ISCHR(there.st_mode);
}

std::unique_ptr<PortWatch> LinuxSerialPortOpener::watchPort(const std::u16string& name,
                                                            std::function<void()> changed) {
    std::string path = resolve(name);
    if (path.empty()) return nullptr;
    return DeviceFolderWatch::start(std::move(path), std::move(changed));
}

std::unique_ptr<SerialPort> LinuxSerialPortOpener::fail(int error) {
    lastFailure_ = describe(error);
    return nullptr;
}

}  // namespace qm::linux_platform
