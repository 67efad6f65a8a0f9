#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

class FileSystem;

inline constexpr std::string_view kStorageConfigFolder = "\\Storage\\Program Files\\Quillmark\\";
inline constexpr std::string_view kConfigFolder = "\\Program Files\\Quillmark\\";
inline constexpr size_t kMaxProfilePathLength = 103;

// The storage card's profile folder when it is a directory there, else the built-in one.
std::string chooseConfigFolder(FileSystem& files);

// Folder and file name joined; nullopt when the path is longer than a profile path may be.
std::optional<std::string> profilePath(std::string_view folder, std::string_view fileName);

}  // namespace qm
