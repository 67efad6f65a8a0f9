#pragma once

#include <cstdint>
#include <optional>

namespace qm {

class StatusLine;

// The last word on a setting change whose save failed: the status line says the file does
// not hold it, and how the engine took it (`engineResult`, the link status of its send; nullopt
// when no engine parameter was sent). A change that was saved leaves the status line alone.
void showIfUnsaved(StatusLine* status, int saved, std::optional<int32_t> engineResult);

}  // namespace qm
