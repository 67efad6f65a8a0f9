#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

namespace qm::test {

// A folder of its own under the system's temporary folder, removed with everything in it
// at the end. The name is drawn until one is free, so parallel test runs never share one.
class TempFolder {
public:
    explicit TempFolder(std::string_view prefix = "qm-test") {
        std::random_device random;
        std::error_code error;
        const auto base = std::filesystem::temp_directory_path();
        do {
            path_ = base / (std::string(prefix) + "-" + std::to_string(random()) +
                            std::to_string(random()));
        } while (!std::filesystem::create_directory(path_, error) && !error);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace qm::test
