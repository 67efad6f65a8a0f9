#pragma once

#include <QObject>
#include <memory>
#include <optional>
#include <ostream>

#include "platform/Wakeup.h"

class QLabel;
class QWidget;

namespace qm {
struct ProcessState;
}

namespace qm::ui {

class GuiQueue;

// "Scanner disconnected" on the main dialog while the engine's device is gone: in the strip
// above the buttons, or beside "Exit" where the service buttons fill that strip. Each change is
// also written to `log`. Lives on the GUI thread as a child of the dialog.
class DisconnectedLine : public QObject {
public:
    static constexpr int kControlId = 1100;

    DisconnectedLine(QWidget* mainDialog, ProcessState& state, GuiQueue& queue, std::ostream* log);
    ~DisconnectedLine() override;

    // On the GUI thread: shows what the link says now.
    void update();

private:
    ProcessState& state_;
    std::ostream* log_;
    QLabel* label_;
    bool shown_ = false;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
    std::optional<Wakeup::Subscription> linkChanges_;
};

}  // namespace qm::ui
