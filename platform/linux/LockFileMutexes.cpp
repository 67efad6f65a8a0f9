#include "platform/linux/LockFileMutexes.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace qm::linux_platform {

namespace {

class LockedFile : public NamedMutex {
public:
    explicit LockedFile(int fd) : fd_(fd) {}
    ~LockedFile() override { ::close(fd_); }
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;

private:
    int fd_;
};

// Names are the program's own ASCII words; anything else becomes '_' so it stays one file name.
std::string fileNameOf(std::u16string_view name) {
    std::string file;
    for (char16_t c : name) {
        const bool plain = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                           (c >= u'0' && c <= u'9') || c == u'-' || c == u'_';
        file += plain ? static_cast<char>(c) : '_';
    }
    return file + ".lock";
}

}  // namespace

LockFileMutexes::LockFileMutexes(std::filesystem::path folder) : folder_(std::move(folder)) {}

MutexCreation LockFileMutexes::createMutex(std::u16string_view name) {
    const std::string path = (folder_ / fileNameOf(name)).string();
    // A link planted at the lock's name must not make us create or lock a file elsewhere.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return {nullptr, static_cast<uint32_t>(errno)};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK) return {nullptr, kErrorAlreadyExists};
        return {nullptr, static_cast<uint32_t>(error)};
    }
    return {std::make_unique<LockedFile>(fd), 0};
}

}  // namespace qm::linux_platform
