#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/SerialPort.h"

namespace qm::linux_platform {

// Watches, with inotify, every folder on the way from a port's path to its device: the folder
// of the path itself, of each link's target, and of the device node (the nearest folder that
// exists, where one is missing). At every change there, and once a second while ticking, it
// calls `changed` from a thread of its own; nothing else wakes it.
class DeviceFolderWatch : public PortWatch {
public:
    // Null when inotify cannot be had.
    static std::unique_ptr<DeviceFolderWatch> start(std::string path,
                                                    std::function<void()> changed);
    ~DeviceFolderWatch() override;
    DeviceFolderWatch(const DeviceFolderWatch&) = delete;
    DeviceFolderWatch& operator=(const DeviceFolderWatch&) = delete;

    void setTicking(bool on) override;

    // The folders watched for `path` as things stand.
    static std::vector<std::string> foldersOnTheWay(const std::string& path);

private:
    DeviceFolderWatch(std::string path, std::function<void()> changed, int inotify, int wake);
    void run();
    // The links may lead elsewhere after a change: the watches follow them. A folder still on
    // the way keeps its watch, so following makes no events of its own.
    void watchTheWay();
    // Drops the watches the system ended (their folder went).
    void takeEvents();

    const std::string path_;
    const std::function<void()> changed_;
    const int inotify_;
    const int wake_;  // an eventfd: the ticking changed, or the watch ends
    std::atomic<bool> ticking_{false};
    std::atomic<bool> stopping_{false};
    std::map<std::string, int> watches_;  // folder -> watch descriptor
    std::thread thread_;
};

}  // namespace qm::linux_platform
