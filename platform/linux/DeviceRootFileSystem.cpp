#include "platform/linux/DeviceRootFileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>  // renameat2
#include <string>
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

FileSystem::Contents refused(std::string fault) { return {std::nullopt, std::move(fault)}; }

std::string cannotOpen(int error) {
    return "cannot be opened: " + std::system_category().message(error);
}

std::string tooLarge(size_t maxBytes) {
    return "is larger than " + std::to_string(maxBytes) + " bytes";
}

// One byte more than allowed is asked for, so a file that grew past the limit is seen.
FileSystem::Contents readAtMost(int fd, size_t maxBytes) {
    std::string contents;
    std::array<char, 4096> chunk;
    while (contents.size() <= maxBytes) {
        const size_t wanted = std::min(chunk.size(), maxBytes + 1 - contents.size());
        const ssize_t count = ::read(fd, chunk.data(), wanted);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return refused("cannot be read: " + std::system_category().message(errno));
        if (count == 0) return {std::move(contents), {}};
        contents.append(chunk.data(), static_cast<size_t>(count));
    }
    return refused(tooLarge(maxBytes));
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

FileSystem::Contents DeviceRootFileSystem::readRegularFile(std::string_view path, size_t maxBytes) {
    const auto host = hostPath(path);
    if (!host) return refused("lies outside the device root");
    // Looked at before it is opened: opening a FIFO blocks and opening a device may act.
    struct stat attributes {};
    if (::stat(host->c_str(), &attributes) != 0) {
        FileSystem::Contents none = refused(cannotOpen(errno));
        none.missing = errno == ENOENT;
        return none;
    }
    if (!S_ISREG(attributes.st_mode)) return refused("is not a regular file");
    // Non-blocking and checked again on the open file, in case it was swapped meanwhile.
    FileDescriptor file(::open(host->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!file.valid()) return refused(cannotOpen(errno));
    if (::fstat(file.get(), &attributes) != 0 || !S_ISREG(attributes.st_mode))
        return refused("is not a regular file");
    if (static_cast<uintmax_t>(attributes.st_size) > maxBytes) return refused(tooLarge(maxBytes));
    return readAtMost(file.get(), maxBytes);
}

namespace {

// The target's name cut short enough that the suffix still makes a name the file system
// takes, so a name of the longest length can be saved too.
fs::path temporaryBeside(const fs::path& target) {
    constexpr size_t kLongestName = 255;
    constexpr std::string_view kSuffix = ".tmp";
    std::string name = target.filename().string().substr(0, kLongestName - kSuffix.size());
    return target.parent_path() / (name += kSuffix);
}

}  // namespace

// Temporary file beside the target, flushed to disk, renamed over it, and the folder flushed
// so that the rename itself survives a power loss. A fixed temporary name means a crash
// leaves at most one stray file, which the next save reuses.
bool DeviceRootFileSystem::writeFileAtomically(std::string_view path, std::string_view contents) {
    const auto target = hostPath(path);
    if (!target || !target->has_filename()) return false;
    const fs::path temporary = temporaryBeside(*target);
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

// Without RENAME_NOREPLACE (a file system that lacks it) a hard link does the same: it fails
// on an existing name instead of replacing it.
FileSystem::RenameOutcome DeviceRootFileSystem::renameWithoutReplacing(std::string_view from,
                                                                       std::string_view to) {
    const auto source = hostPath(from);
    const auto target = hostPath(to);
    if (!source || !target) return {Renaming::Failed, "lies outside the device root"};
    int result =
        ::renameat2(AT_FDCWD, source->c_str(), AT_FDCWD, target->c_str(), RENAME_NOREPLACE);
    if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
        result = ::link(source->c_str(), target->c_str());
        if (result == 0 && ::unlink(source->c_str()) != 0) {
            const int error = errno;
            ::unlink(target->c_str());
            errno = error;
            result = -1;
        }
    }
    if (result == 0) return {Renaming::Renamed, {}};
    if (errno == EEXIST) return {Renaming::TargetExists, {}};
    return {Renaming::Failed, std::system_category().message(errno)};
}

std::string DeviceRootFileSystem::displayPath(std::string_view path) const {
    const auto host = hostPath(path);
    return host ? host->string() : std::string(path);
}

bool prepareDeviceRoot(const std::filesystem::path& root, const std::filesystem::path& resources) {
    DeviceRootFileSystem files(root);
    if (!files.createDirectories(kConfigFolder) || !files.createDirectories("\\dev")) return false;
    const fs::path profiles = *files.hostPath(kConfigFolder);
    return installIfMissing(resources / "defaults.cfg", profiles / "defaults.cfg") &&
           installIfMissing(resources / "LastUser.cfg", profiles / "LastUser.cfg");
}

}  // namespace qm
