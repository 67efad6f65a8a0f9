#pragma once

#include <cstdint>

namespace qm {

struct ProcessState;

// Watches the scan key and the target key while scanning is enabled, runs scan cycles and
// drives aiming, until the link asks it to stop. Returns 0.
int32_t scanWedgeThreadProc(ProcessState& state);

// Starts the thread and hands it to the link, which stops it when the port closes.
// 1 on success, 0 when no thread could be created.
int startWedgeThread(ProcessState& state);

}  // namespace qm
