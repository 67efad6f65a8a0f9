#include "apps/engine_sim/StableLink.h"

namespace qm::engine_sim {

namespace fs = std::filesystem;

bool StableLink::pointAt(const std::string& target, std::string& error) {
    if (path_.empty()) return true;
    fs::path fresh = path_;
    fresh += ".new";
    std::error_code failed;
    fs::remove(fresh, failed);
    fs::create_symlink(target, fresh, failed);
    if (!failed) fs::rename(fresh, path_, failed);
    if (!failed) return true;
    std::error_code ignored;
    fs::remove(fresh, ignored);
    error = "cannot make the link " + path_.string() + ": " + failed.message();
    return false;
}

void StableLink::remove() {
    if (path_.empty()) return;
    std::error_code ignored;
    fs::remove(path_, ignored);
}

}  // namespace qm::engine_sim
