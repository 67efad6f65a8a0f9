#pragma once

#include <QString>
#include <filesystem>

namespace qm::desktop {

// The token a portal returns so that it need not ask the user again, kept in the device root.
// It stands for a permission, so the file is the user's alone.
class RestoreTokenFile {
public:
    explicit RestoreTokenFile(std::filesystem::path path) : path_(std::move(path)) {}

    // The device root's file for the remote desktop keyboard.
    static RestoreTokenFile remoteDesktop(const std::filesystem::path& deviceRoot);

    // Empty when there is none, or what is there is not a token.
    QString read() const;
    // Replaces the file whole (a new file renamed over the old one), readable by the user
    // only. False when it could not be written.
    bool write(const QString& token) const;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace qm::desktop
