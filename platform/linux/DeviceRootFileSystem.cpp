#include "platform/linux/DeviceRootFileSystem.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>  // renameat2
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <thread>
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

// Folders made here are the user's alone whatever the umask, as the folder for a program's
// data should be; folders already there are left as they are.
bool makePrivateFolder(const fs::path& folder) {
    if (::mkdir(folder.c_str(), 0700) != 0) return errno == EEXIST;
    FileDescriptor made(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    return made.valid() && ::fchmod(made.get(), 0700) == 0;
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
std::string temporaryNameFor(const std::string& name) {
    constexpr size_t kLongestName = 255;
    constexpr std::string_view kSuffix = ".tmp";
    return name.substr(0, kLongestName - kSuffix.size()) + std::string(kSuffix);
}

// Saves into one folder take turns, across processes too: the wedge and the engine tool may
// share a profile folder. The lock goes with its holder, so a crash never keeps it; a holder
// that never lets go costs this save, not a hang. A file system without such locks (some
// network ones) saves without taking turns.
bool waitForTurn(int folder) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (::flock(folder, LOCK_EX | LOCK_NB) == 0) return true;
        if (errno != EWOULDBLOCK && errno != EINTR) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

// The permissions of the file a save replaces, so a profile made private stays private.
std::optional<mode_t> modeOf(int folder, const std::string& name) {
    struct stat attributes {};
    if (::fstatat(folder, name.c_str(), &attributes, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(attributes.st_mode))
        return std::nullopt;
    return attributes.st_mode & 0777;
}

// Created afresh, never opened through whatever bears the name. It being this save's turn,
// no other save is writing there, so what bears it is a crash's leftover or a planted link:
// it goes.
int createTemporary(int folder, const std::string& name, std::optional<mode_t> mode) {
    ::unlinkat(folder, name.c_str(), 0);
    const int fd =
        ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd >= 0 && mode && ::fchmod(fd, *mode) != 0) {
        ::close(fd);
        ::unlinkat(folder, name.c_str(), 0);
        return -1;
    }
    return fd;
}

}  // namespace

// Temporary file beside the target, flushed to disk, renamed over it, and the folder flushed
// so that the rename itself survives a power loss. A fixed temporary name means a crash
// leaves at most one stray file, which the next save removes. Every step names the file
// relative to the folder opened once, so the folder cannot be swapped in between.
bool DeviceRootFileSystem::writeFileAtomically(std::string_view path, std::string_view contents) {
    const auto target = hostPath(path);
    if (!target || !target->has_filename()) return false;
    FileDescriptor folder(
        ::open(target->parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.valid() || !waitForTurn(folder.get())) return false;
    const std::string name = target->filename().string();
    const std::string temporary = temporaryNameFor(name);
    FileDescriptor file(createTemporary(folder.get(), temporary, modeOf(folder.get(), name)));
    if (!file.valid()) return false;
    const bool written = writeAll(file.get(), contents) && ::fsync(file.get()) == 0;
    if (!file.close() || !written ||
        ::renameat(folder.get(), temporary.c_str(), folder.get(), name.c_str()) != 0) {
        ::unlinkat(folder.get(), temporary.c_str(), 0);
        return false;
    }
    return ::fsync(folder.get()) == 0;
}

bool DeviceRootFileSystem::createDirectories(std::string_view path) {
    const auto host = hostPath(path);
    if (!host) return false;
    fs::path partial;
    for (const fs::path& component : *host) {
        partial /= component;
        if (!makePrivateFolder(partial)) return false;
    }
    std::error_code error;
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

namespace {

// A shipped profile goes in only where the name is free: a user's file, or even a link, there
// is theirs.
bool installIfMissing(DeviceRootFileSystem& files, const fs::path& source,
                      const std::string& target) {
    std::error_code error;
    if (fs::exists(fs::symlink_status(*files.hostPath(target), error))) return true;
    std::ifstream in(source, std::ios::binary);
    const std::string contents{std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>()};
    return in && files.writeFileAtomically(target, contents);
}

}  // namespace

bool prepareDeviceRoot(const std::filesystem::path& root, const std::filesystem::path& resources) {
    DeviceRootFileSystem files(root);
    if (!files.createDirectories(kConfigFolder) || !files.createDirectories("\\dev")) return false;
    const std::string profiles(kConfigFolder);
    return installIfMissing(files, resources / "defaults.cfg", profiles + "defaults.cfg") &&
           installIfMissing(files, resources / "LastUser.cfg", profiles + "LastUser.cfg");
}

}  // namespace qm
