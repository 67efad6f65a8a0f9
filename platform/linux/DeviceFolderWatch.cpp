#include "platform/linux/DeviceFolderWatch.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <utility>

namespace qm::linux_platform {

namespace {

namespace fs = std::filesystem;

constexpr int kTickMs = 1000;
// As many links as the system itself follows.
constexpr int kMostHops = 40;
constexpr uint32_t kFolderChanges = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                    IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

fs::path nearestExistingFolder(fs::path folder) {
    std::error_code error;
    while (!fs::is_directory(folder, error) && folder.has_relative_path())
        folder = folder.parent_path();
    return folder;
}

void bump(int eventFd) {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(eventFd, &one, sizeof one);
}

void drain(int eventFd) {
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t ignored = ::read(eventFd, &count, sizeof count);
}

}  // namespace

std::vector<std::string> DeviceFolderWatch::foldersOnTheWay(const std::string& path) {
    std::vector<std::string> folders;
    std::error_code error;
    fs::path at = fs::absolute(path, error).lexically_normal();
    for (int hop = 0; hop < kMostHops && !error; ++hop) {
        const std::string folder = nearestExistingFolder(at.parent_path()).string();
        if (std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(folder);
        if (!fs::is_symlink(at, error)) break;
        const fs::path target = fs::read_symlink(at, error);
        at = (target.is_absolute() ? target : at.parent_path() / target).lexically_normal();
    }
    return folders;
}

std::unique_ptr<DeviceFolderWatch> DeviceFolderWatch::start(std::string path,
                                                            std::function<void()> changed) {
    const int inotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify < 0) return nullptr;
    const int wake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wake < 0) {
        ::close(inotify);
        return nullptr;
    }
    return std::unique_ptr<DeviceFolderWatch>(
        new DeviceFolderWatch(std::move(path), std::move(changed), inotify, wake));
}

DeviceFolderWatch::DeviceFolderWatch(std::string path, std::function<void()> changed, int inotify,
                                     int wake)
    : path_(std::move(path)), changed_(std::move(changed)), inotify_(inotify), wake_(wake) {
    watchTheWay();
    thread_ = std::thread([this] { run(); });
}

DeviceFolderWatch::~DeviceFolderWatch() {
    stopping_ = true;
    bump(wake_);
    thread_.join();
    ::close(inotify_);
    ::close(wake_);
}

void DeviceFolderWatch::setTicking(bool on) {
    if (ticking_.exchange(on) != on) bump(wake_);
}

void DeviceFolderWatch::run() {
    while (!stopping_) {
        pollfd waits[2] = {{inotify_, POLLIN, 0}, {wake_, POLLIN, 0}};
        const int ready = ::poll(waits, 2, ticking_ ? kTickMs : -1);
        if (stopping_) return;
        if (ready < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (waits[1].revents & POLLIN) drain(wake_);
        if (waits[0].revents & POLLIN) {
            takeEvents();
            changed_();
        } else if (ready == 0) {
            changed_();
        }
    }
}

// Which entry changed does not matter: the callee looks at the device itself.
void DeviceFolderWatch::takeEvents() {
    alignas(inotify_event) char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(inotify_, buffer, sizeof buffer)) > 0) {
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->mask & IN_IGNORED)
                std::erase_if(watches_, [event](const auto& w) { return w.second == event->wd; });
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    watchTheWay();
}

void DeviceFolderWatch::watchTheWay() {
    const std::vector<std::string> folders = foldersOnTheWay(path_);
    for (auto it = watches_.begin(); it != watches_.end();) {
        if (std::find(folders.begin(), folders.end(), it->first) != folders.end()) {
            ++it;
            continue;
        }
        ::inotify_rm_watch(inotify_, it->second);
        it = watches_.erase(it);
    }
    for (const std::string& folder : folders) {
        if (watches_.count(folder)) continue;
        const int watch = ::inotify_add_watch(inotify_, folder.c_str(), kFolderChanges);
        if (watch >= 0) watches_.emplace(folder, watch);
    }
}

}  // namespace qm::linux_platform
