#pragma once

#include "session/SequenceReport.h"

namespace qm {

struct ProcessState;
class ProgressDialogFactory;

// A device back at the port's name after the old one was lost: the port reopened and the
// engine brought in line as at start-up, progress dialog included, since an engine that lost
// power has forgotten every temporary parameter. The link is held throughout, so no scan starts
// on an engine not yet in line. False, with the link still gone, when the device could not be
// opened.
bool reconnectEngine(ProcessState& state, ProgressDialogFactory& dialogs,
                     SequenceReport* report = nullptr);

}  // namespace qm
