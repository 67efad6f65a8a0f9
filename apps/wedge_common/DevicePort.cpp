#include "apps/wedge_common/DevicePort.h"

#include "apps/wedge_common/DeviceRootSetup.h"

namespace qm::app {

namespace fs = std::filesystem;

std::string portOf(const fs::path& root) {
    const fs::path link = root / "dev" / "COM3";
    std::error_code error;
    const fs::file_status status = fs::symlink_status(link, error);
    if (error || !fs::exists(status)) return {};
    if (!fs::is_symlink(status)) return link.string();
    const fs::path target = fs::read_symlink(link, error);
    return error ? link.string() : target.string();
}

ui::PortChoice portChoiceIn(const fs::path& root, SerialDevices& devices) {
    ui::PortChoice choice;
    choice.devices = &devices;
    choice.current = [root] { return portOf(root); };
    choice.keep = [root](const std::string& path, std::string& error) {
        return pointPortAt(root, path, error);
    };
    return choice;
}

}  // namespace qm::app
