#include "platform/linux/DeviceRootFileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <system_error>
#include <utility>

namespace qm {

namespace {

namespace fs = std::filesystem;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now so that a failing close can be seen (it may report a deferred write error).
    bool close() { return ::close(std::exchange(fd_, -1)) == 0; }

private:
    int fd_;
};

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

bool syncDirectory(const fs::path& directory) {
    FileDescriptor dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return dir.valid() && ::fsync(dir.get()) == 0;
}

bool installIfMissing(const fs::path& source, const fs::path& target) {
    std::error_code error;
    if (fs::exists(target, error)) return true;
    return fs::copy_file(source, target, error);
}

}  // namespace

DeviceRootFileSystem::DeviceRootFileSystem(std::filesystem::path root) : root_(std::move(root)) {}

std::optional<std::filesystem::path> DeviceRootFileSystem::hostPath(
    std::string_view devicePath) const {
    fs::path result = root_;
    while (!devicePath.empty()) {
        const size_t end = devicePath.find('\\');
        const std::string_view component = devicePath.substr(0, end);
        if (component == "..") return std::nullopt;
        if (!component.empty() && component != ".") result /= std::string(component);
        if (end == std::string_view::npos) break;
        devicePath.remove_prefix(end + 1);
    }
    return result;
}

std::optional<bool> DeviceRootFileSystem::isDirectory(std::string_view path) {
    const auto host = hostPath(path);
    struct stat attributes {};
    if (!host || ::stat(host->c_str(), &attributes) != 0) return std::nullopt;
    return S_ISDIR(attributes.st_mode);
}

std::optional<std::string> DeviceRootFileSystem::readFile(std::string_view path) {
    const auto host = hostPath(path);
    if (!host) return std::nullopt;
    FileDescriptor file(::open(host->c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.valid()) return std::nullopt;
    std::string contents;
    std::array<char, 4096> chunk;
    for (;;) {
        const ssize_t count = ::read(file.get(), chunk.data(), chunk.size());
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return std::nullopt;  // a directory lands here too
        if (count == 0) return contents;
        contents.append(chunk.data(), static_cast<size_t>(count));
    }
}

// Temporary file beside the target, flushed to disk, renamed over it, and the folder flushed
// so that the rename itself survives a power loss. A fixed temporary name means a crash
// leaves at most one stray file, which the next save reuses.
bool DeviceRootFileSystem::writeFileAtomically(std::string_view path, std::string_view contents) {
    const auto target = hostPath(path);
    if (!target || !target->has_filename()) return false;
    fs::path temporary = *target;
    temporary += ".tmp";
    FileDescriptor file(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!file.valid()) return false;
    const bool written = writeAll(file.get(), contents) && ::fsync(file.get()) == 0;
    if (!file.close() || !written || ::rename(temporary.c_str(), target->c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return syncDirectory(target->parent_path());
}

bool DeviceRootFileSystem::createDirectories(std::string_view path) {
    const auto host = hostPath(path);
    if (!host) return false;
    std::error_code error;
    fs::create_directories(*host, error);
    return fs::is_directory(*host, error);
}

bool prepareDeviceRoot(const std::filesystem::path& root, const std::filesystem::path& resources) {
    DeviceRootFileSystem files(root);
    if (!files.createDirectories("\\Program Files\\Quillmark") || !files.createDirectories("\\dev"))
        return false;
    const fs::path profiles = root / "Program Files" / "Quillmark";
    return installIfMissing(resources / "defaults.cfg", profiles / "defaults.cfg") &&
           installIfMissing(resources / "LastUser.cfg", profiles / "LastUser.cfg");
}

}  // namespace qm
