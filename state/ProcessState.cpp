#include "state/ProcessState.h"

namespace qm {

ProcessState::ProcessState(Platform& platform)
    : platform(platform), link(platform.clock, platform.serial) {}

ProcessState::~ProcessState() { link.closePort(); }

}  // namespace qm
