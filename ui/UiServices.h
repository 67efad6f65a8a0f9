#pragma once

namespace qm::ui {

class MessageBoxes;
class GuiQueue;

// What every window of the wedge shares beside the process state: the message boxes and the
// queue through which other threads reach the GUI thread.
struct UiServices {
    MessageBoxes& boxes;
    GuiQueue& queue;
};

}  // namespace qm::ui
