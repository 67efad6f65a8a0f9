#pragma once

#include <string>

#include "settings/CommandArray.h"
#include "settings/ScanSettings.h"

namespace qm {

// The profile file's bytes for these stores, exactly as the handheld writes them.
std::string formatConfigText(const ScanSettings& settings, const CommandArray& commands);

}  // namespace qm
