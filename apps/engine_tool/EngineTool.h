#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace qm {
struct ProcessState;
}

namespace qm::tool {

inline constexpr int kExitOk = 0;
inline constexpr int kExitEngineFailed = 1;
inline constexpr int kExitUsage = 2;

// Runs one command of the engine tool on an open link. `args` are the words after PORT.
int runEngineCommand(ProcessState& state, const std::vector<std::string>& args, std::ostream& out,
                     std::ostream& err);

bool isKnownCommand(const std::vector<std::string>& args);

// The folder of profiles a command works on (sync and burn), if any.
std::optional<std::filesystem::path> profileFolderOf(const std::vector<std::string>& args);

void printUsage(std::ostream& err);

}  // namespace qm::tool
