#include "apps/wedge_common/DeviceRootSetup.h"

#include <QCoreApplication>
#include <QStandardPaths>

#include "platform/FileSystem.h"
#include "platform/linux/DeviceRootFileSystem.h"
#include "settings/ProfileFiles.h"

namespace qm::app {

namespace fs = std::filesystem;

namespace {
constexpr std::string_view kFactoryProfile = ProfileFiles[kFactoryDefaultsProfile];
constexpr std::string_view kWorkingProfile = ProfileFiles[kLastUserProfile];
}  // namespace

fs::path defaultDeviceRoot(const QString& program) {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return fs::path(data.toStdString()) / program.toStdString();
}

fs::path shippedResources() {
    const fs::path installed = fs::path(QCoreApplication::applicationDirPath().toStdString()) /
                               ".." / "share" / "quillmark";
    std::error_code error;
    if (fs::exists(installed / kFactoryProfile, error)) return installed.lexically_normal();
    return fs::path(QM_SOURCE_DIR) / "resources";
}

namespace {

// The same steps again, each with its error, to say which one failed and why.
std::string firstRunFault(const fs::path& root, const fs::path& profiles,
                          const fs::path& resources) {
    std::error_code fault;
    for (const fs::path& folder : {profiles, root / "dev"}) {
        if (!fs::create_directories(folder, fault) && fault)
            return "the folder " + folder.string() + " cannot be created: " + fault.message();
    }
    for (std::string_view name : {kFactoryProfile, kWorkingProfile}) {
        if (fs::exists(profiles / name, fault)) continue;
        fs::copy_file(resources / name, profiles / name, fault);
        if (fault)
            return "the shipped " + std::string(name) + " cannot be copied from " +
                   resources.string() + " into " + profiles.string() + ": " + fault.message();
    }
    return "the device root " + root.string() + " cannot be prepared";
}

}  // namespace

bool prepareRootOnFirstRun(const fs::path& root, std::string& error) {
    std::error_code fault;
    // The profile folder, not the root, says whether this root was ever run: an empty folder
    // given with --root is a first run too.
    const fs::path profiles = *DeviceRootFileSystem(root).hostPath(kConfigFolder);
    if (fs::exists(profiles, fault)) return true;
    if (prepareDeviceRoot(root, shippedResources())) return true;
    error = firstRunFault(root, profiles, shippedResources());
    return false;
}

// Each step stops at its own error, so that what is reported is what went wrong, not the
// "File exists" of a link made over something that could not be removed.
bool pointPortAt(const fs::path& root, const fs::path& device, std::string& error) {
    const fs::path link = root / "dev" / "COM3";
    std::error_code fault;
    DeviceRootFileSystem(root).createDirectories("\\dev");  // private; a failure is told below
    if (!fs::create_directories(link.parent_path(), fault) && fault) {
        error =
            "the folder " + link.parent_path().string() + " cannot be created: " + fault.message();
        return false;
    }
    if (!fs::remove(link, fault) && fault) {
        error = link.string() + " cannot be replaced: " + fault.message();
        return false;
    }
    const fs::path target = fs::absolute(device, fault);
    if (!fault) fs::create_symlink(target, link, fault);
    if (!fault) return true;
    error = link.string() + " cannot be made a link to " + device.string() + ": " + fault.message();
    return false;
}

}  // namespace qm::app
