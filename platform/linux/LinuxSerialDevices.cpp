#include "platform/linux/LinuxSerialDevices.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>

#include "platform/linux/LinuxSerialPortOpener.h"

namespace qm::linux_platform {

namespace fs = std::filesystem;

namespace {

constexpr int kUsbAncestorsLooked = 8;

std::string firstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
    return line;
}

bool startsWith(const std::string& text, std::string_view prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool isUsbPortName(const std::string& name) {
    return startsWith(name, "ttyUSB") || startsWith(name, "ttyACM");
}

// serial_core writes the UART's type, 0 where the kernel only keeps room for a port.
bool hasRealUart(const fs::path& entry) {
    std::error_code error;
    if (!fs::exists(entry / "device", error)) return false;
    const std::string type = firstLine(entry / "type");
    return !type.empty() && type != "0";
}

std::string joined(const std::string& a, const std::string& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return a + " " + b;
}

// The USB device's own words, from the first ancestor of the port's device that has them.
std::string usbMakerAndModel(const fs::path& entry) {
    std::error_code error;
    fs::path at = fs::canonical(entry / "device", error);
    for (int up = 0; !error && up < kUsbAncestorsLooked && at.has_relative_path();
         ++up, at = at.parent_path()) {
        if (!fs::exists(at / "idVendor", error)) continue;
        const std::string words = joined(firstLine(at / "manufacturer"), firstLine(at / "product"));
        if (!words.empty()) return words;
        return "USB device " + firstLine(at / "idVendor") + ":" + firstLine(at / "idProduct");
    }
    return {};
}

std::string kindOfPort(const std::string& name) {
    if (startsWith(name, "ttyUSB")) return "USB serial adapter";
    if (startsWith(name, "ttyACM")) return "USB serial device";
    return "on-board serial port";
}

std::string groupName(gid_t gid) {
    std::vector<char> buffer(4096);
    group entry{};
    group* found = nullptr;
    if (getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found)
        return found->gr_name;
    return std::to_string(gid);
}

bool readsAndWrites(mode_t mode, mode_t read, mode_t write) {
    return (mode & read) != 0 && (mode & write) != 0;
}

// The owner's bits for the owner, the group's for a member, the others' for everyone else:
// as the kernel decides, minus access lists, which serial devices do not normally carry.
void tellAccess(const fs::path& node, const Credentials& who, SerialDevice& device) {
    struct stat info {};
    if (::stat(node.c_str(), &info) != 0) {
        device.access = "cannot be looked at";
        return;
    }
    const bool member =
        std::find(who.groups.begin(), who.groups.end(), info.st_gid) != who.groups.end();
    if (who.uid == 0)
        device.mayOpen = true;
    else if (info.st_uid == who.uid)
        device.mayOpen = readsAndWrites(info.st_mode, S_IRUSR, S_IWUSR);
    else if (member)
        device.mayOpen = readsAndWrites(info.st_mode, S_IRGRP, S_IWGRP);
    else
        device.mayOpen = readsAndWrites(info.st_mode, S_IROTH, S_IWOTH);
    if (device.mayOpen) return;
    if (!member && info.st_uid != who.uid && readsAndWrites(info.st_mode, S_IRGRP, S_IWGRP)) {
        const std::string group = groupName(info.st_gid);
        device.access = "no permission: the " + group + " group gives access (sudo adduser $USER " +
                        group + ", then log in again)";
        return;
    }
    device.access = "no permission: only its owner may use it";
}

// Where a by-id link leads, one step only: a test's links may lead on to a pseudo-terminal,
// and the port is the node the link names.
fs::path linkTarget(const fs::path& link) {
    std::error_code error;
    const fs::path target = fs::read_symlink(link, error);
    if (error) return {};
    return target.is_absolute() ? target : (link.parent_path() / target).lexically_normal();
}

}  // namespace

Credentials Credentials::ofThisProcess() {
    Credentials who;
    who.uid = ::geteuid();
    who.groups.push_back(::getegid());
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(count > 0 ? size_t(count) : 0);
    if (count > 0 && ::getgroups(count, groups.data()) == count)
        who.groups.insert(who.groups.end(), groups.begin(), groups.end());
    return who;
}

LinuxSerialDevices::LinuxSerialDevices(SerialDeviceFolders folders, Credentials who)
    : folders_(std::move(folders)), who_(std::move(who)) {}

std::vector<SerialDevice> LinuxSerialDevices::list() {
    std::map<fs::path, SerialDevice> byNode;
    std::error_code error;
    const auto add = [&](const fs::path& node, const std::string& description) {
        std::error_code missing;
        if (!fs::exists(node, missing) || byNode.count(node)) return;
        SerialDevice& device = byNode[node];
        device.path = device.device = node.string();
        device.description = description;
    };
    for (const auto& entry : fs::directory_iterator(folders_.sysTty, error)) {
        const std::string name = entry.path().filename().string();
        if (!isUsbPortName(name) && !hasRealUart(entry.path())) continue;
        const std::string usb = usbMakerAndModel(entry.path());
        add(folders_.dev / name, usb.empty() ? kindOfPort(name) : usb);
    }
    for (const auto& entry : fs::directory_iterator(folders_.dev, error)) {
        const std::string name = entry.path().filename().string();
        if (isUsbPortName(name)) add(entry.path(), kindOfPort(name));
    }
    for (const auto& entry : fs::directory_iterator(folders_.byId, error)) {
        const fs::path node = linkTarget(entry.path());
        if (node.empty()) continue;
        add(node, kindOfPort(node.filename().string()));
        auto found = byNode.find(node);
        if (found != byNode.end()) found->second.path = entry.path().string();
    }
    std::vector<SerialDevice> devices;
    for (auto& [node, device] : byNode) {
        tellAccess(node, who_, device);
        devices.push_back(std::move(device));
    }
    // The named ones first: they are the plugged-in adapters a user looks for.
    std::stable_sort(devices.begin(), devices.end(), [](const auto& a, const auto& b) {
        return (a.path != a.device) > (b.path != b.device);
    });
    return devices;
}

std::unique_ptr<SerialPortOpener> LinuxSerialDevices::openerFor(const std::string& path) {
    return std::make_unique<LinuxSerialPortOpener>(LinuxSerialPortOpener::forDevicePath(path));
}

}  // namespace qm::linux_platform
