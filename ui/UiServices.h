#pragma once

#include <iostream>

namespace qm::ui {

class MessageBoxes;
class GuiQueue;
class DeliveryStatusBoard;

// What every window of the wedge shares beside the process state: the message boxes, the
// queue through which other threads reach the GUI thread, and the failure log.
struct UiServices {
    MessageBoxes& boxes;
    GuiQueue& queue;
    std::ostream* log = &std::cerr;           // where failures shown in boxes are also written
    DeliveryStatusBoard* delivery = nullptr;  // how decodes and trigger presses travel, if known
};

}  // namespace qm::ui
