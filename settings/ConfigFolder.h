#pragma once

#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace qm {

// The same folder on the storage card; kConfigFolder is the built-in one.
inline constexpr std::string_view kStorageConfigFolder = "\\Storage\\Program Files\\Quillmark\\";

// The storage card's profile folder when it is a directory there, else the built-in one.
std::string chooseConfigFolder(FileSystem& files);

// Folder and file name joined. Its length is for the file system to judge.
std::string profilePath(std::string_view folder, std::string_view fileName);

}  // namespace qm
