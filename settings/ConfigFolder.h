#pragma once

#include <string>
#include <string_view>

namespace qm {

class FileSystem;

inline constexpr std::string_view kStorageConfigFolder = "\\Storage\\Program Files\\Quillmark\\";
inline constexpr std::string_view kConfigFolder = "\\Program Files\\Quillmark\\";

// The storage card's profile folder when it is a directory there, else the built-in one.
std::string chooseConfigFolder(FileSystem& files);

// Folder and file name joined. Its length is for the file system to judge.
std::string profilePath(std::string_view folder, std::string_view fileName);

}  // namespace qm
