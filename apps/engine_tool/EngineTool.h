#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>

#include "apps/engine_tool/ToolArguments.h"

namespace qm {
struct ProcessState;
}

namespace qm::tool {

inline constexpr int kExitOk = 0;
inline constexpr int kExitEngineFailed = 1;
inline constexpr int kExitUsage = 2;

// Runs the command of the engine tool on an open link.
int runEngineCommand(ProcessState& state, const ToolArguments& arguments, std::ostream& out,
                     std::ostream& err);

// The folder of profiles a command works on (sync and burn), if any.
std::optional<std::filesystem::path> profileFolderOf(const ToolArguments& arguments);

}  // namespace qm::tool
