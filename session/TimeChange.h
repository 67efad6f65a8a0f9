#pragma once

#include <optional>
#include <string_view>

namespace qm {

struct ProcessState;
class StatusLine;

// The Scanner page's two times, in tenths of a second 0..99 with their TimeTable texts.

// The scan time spin stepped by `delta` from `position`: the texts, indexes and link take the
// new time, the profile is saved and parameter 136 sent. nullopt at either end of the range,
// where nothing changes.
std::optional<int> stepScanTime(ProcessState& state, StatusLine* status, int position, int delta);

// The same for the target time; parameter 237 (the engine's own aiming before each decode)
// is sent only in one-button control.
std::optional<int> stepTargetTime(ProcessState& state, StatusLine* status, int position, int delta);

// The scan time set to `time` at once, as a step to it does.
void setScanTime(ProcessState& state, StatusLine* status, int time);

// Text typed into the scan time box counts once it is a time the spin could show: that time
// when it differs from the one in use, nullopt otherwise (the box then shows the time in use).
std::optional<int> typedScanTime(const ProcessState& state, std::string_view typed);

}  // namespace qm
