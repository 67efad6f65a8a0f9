#pragma once

#include <ostream>
#include <string>

namespace qm::ui {

class MessageBoxes;

// A start-up that fails before any window of its own (the device root cannot be made, the
// port cannot be linked) still shows a box, for a user who started the wedge from the desktop
// menu and has no terminal to read; the log (standard error) gets the same words.
void showEarlyFailure(MessageBoxes& boxes, std::ostream* log, const std::string& reason);

}  // namespace qm::ui
