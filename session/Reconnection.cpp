#include "session/Reconnection.h"

#include "session/StartUp.h"
#include "state/ProcessState.h"

namespace qm {

bool reconnectEngine(ProcessState& state, ProgressDialogFactory& dialogs, SequenceReport* report) {
    const auto hold = state.link.holdLink();
    if (!state.link.reopenPort()) return false;
    initializeEngineWithProgress(state, dialogs, report);
    return true;
}

}  // namespace qm
