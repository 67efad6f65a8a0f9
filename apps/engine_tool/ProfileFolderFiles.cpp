#include "apps/engine_tool/ProfileFolderFiles.h"

#include "platform/FileSystem.h"

namespace qm::tool {

namespace {
constexpr std::string_view kProfileFolder = kConfigFolder;
}

ProfileFolderFiles::ProfileFolderFiles(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::string ProfileFolderFiles::inFolder(std::string_view path) {
    if (!path.starts_with(kProfileFolder)) return {};
    const std::string_view name = path.substr(kProfileFolder.size());
    if (name.empty() || name.find('\\') != std::string_view::npos) return {};
    return "\\" + std::string(name);
}

std::optional<bool> ProfileFolderFiles::isDirectory(std::string_view path) {
    if (path == kProfileFolder.substr(0, kProfileFolder.size() - 1)) return true;
    return std::nullopt;
}

FileSystem::Contents ProfileFolderFiles::readRegularFile(std::string_view path, size_t maxBytes) {
    const std::string name = inFolder(path);
    if (name.empty()) return {std::nullopt, "lies outside the profile folder"};
    return folder_.readRegularFile(name, maxBytes);
}

bool ProfileFolderFiles::writeFileAtomically(std::string_view path, std::string_view contents) {
    const std::string name = inFolder(path);
    return !name.empty() && folder_.writeFileAtomically(name, contents);
}

bool ProfileFolderFiles::createDirectories(std::string_view path) {
    return path == kProfileFolder || isDirectory(path).has_value();
}

}  // namespace qm::tool
