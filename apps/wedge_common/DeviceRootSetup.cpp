#include "apps/wedge_common/DeviceRootSetup.h"

#include <QCoreApplication>
#include <QStandardPaths>

#include "platform/FileSystem.h"
#include "platform/linux/DeviceRootFileSystem.h"

namespace qm::app {

namespace fs = std::filesystem;

fs::path defaultDeviceRoot(const QString& program) {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return fs::path(data.toStdString()) / program.toStdString();
}

fs::path shippedResources() {
    const fs::path installed = fs::path(QCoreApplication::applicationDirPath().toStdString()) /
                               ".." / "share" / "quillmark";
    std::error_code error;
    if (fs::exists(installed / "defaults.cfg", error)) return installed.lexically_normal();
    return fs::path(QM_SOURCE_DIR) / "resources";
}

bool prepareRootOnFirstRun(const fs::path& root, std::string& error) {
    std::error_code fault;
    // The profile folder, not the root, says whether this root was ever run: an empty folder
    // given with --root is a first run too.
    if (fs::exists(*DeviceRootFileSystem(root).hostPath(kConfigFolder), fault)) return true;
    if (prepareDeviceRoot(root, shippedResources())) return true;
    error = "could not create the device root " + root.string() + " with its profiles from " +
            shippedResources().string();
    return false;
}

bool pointPortAt(const fs::path& root, const fs::path& device, std::string& error) {
    const fs::path link = root / "dev" / "COM3";
    std::error_code fault;
    DeviceRootFileSystem(root).createDirectories("\\dev");  // a failure shows as the link's
    fs::remove(link, fault);
    fs::create_symlink(fs::absolute(device, fault), link, fault);
    if (!fault) return true;
    error = "could not link " + link.string() + " to " + device.string() + ": " + fault.message();
    return false;
}

}  // namespace qm::app
