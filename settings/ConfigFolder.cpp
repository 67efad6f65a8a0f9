#include "settings/ConfigFolder.h"

namespace qm {

std::string chooseConfigFolder(FileSystem& files) {
    std::string_view storage = kStorageConfigFolder;
    storage.remove_suffix(1);  // the directory itself, not a path inside it
    if (files.isDirectory(storage).value_or(false)) return std::string(kStorageConfigFolder);
    return std::string(kConfigFolder);
}

std::string profilePath(std::string_view folder, std::string_view fileName) {
    std::string path(folder);
    path += fileName;
    return path;
}

}  // namespace qm
