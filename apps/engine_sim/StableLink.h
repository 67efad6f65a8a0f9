#pragma once

#include <filesystem>
#include <string>

namespace qm::engine_sim {

// A symbolic link the engine simulator keeps pointing at the terminal it answers on, so a
// program can be given one path that outlives each terminal. No path: nothing is kept.
class StableLink {
public:
    explicit StableLink(std::filesystem::path path) : path_(std::move(path)) {}
    ~StableLink() { remove(); }
    StableLink(const StableLink&) = delete;
    StableLink& operator=(const StableLink&) = delete;

    // Made beside the path and renamed over it, so the path never leads nowhere in between.
    // False, with the reason in `error`, when it cannot be made.
    bool pointAt(const std::string& target, std::string& error);
    void remove();

private:
    std::filesystem::path path_;
};

}  // namespace qm::engine_sim
