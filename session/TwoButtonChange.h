#pragma once

namespace qm {

struct ProcessState;
class StatusLine;

// "2 Button Control" switched `on` (after any warning about equal key names): on, the target
// key aims and the engine's own aim duration (237) is 0; off, there is no target key, aiming
// ends and 237 takes the target time again. Saved, trigger keys applied.
void changeTwoButtonControl(ProcessState& state, StatusLine* status, bool on);

}  // namespace qm
