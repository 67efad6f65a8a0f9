#pragma once

#include <memory>

#include "session/ProgressReporter.h"

class QWidget;
class QProgressBar;

namespace qm::ui {

class GuiQueue;

// "Initializing Bar Code Scanner" with its bar from 0 to 85, shown while a loaded profile is
// synchronised. Positions may come from the thread running the engine work; they reach the
// bar through the GUI queue.
class SyncProgressWindow : public ProgressReporter {
public:
    SyncProgressWindow(GuiQueue& queue, QWidget* owner);
    ~SyncProgressWindow() override;

    void setPosition(int position) override;
    void close() override;

    QWidget* window() const { return window_.get(); }
    int position() const;

private:
    GuiQueue& queue_;
    std::unique_ptr<QWidget> window_;
    QProgressBar* bar_ = nullptr;
};

}  // namespace qm::ui
