#include "ui/app/QueuedProgress.h"

#include "ui/GuiQueue.h"

namespace qm::ui {

namespace {

// Touched on the GUI thread only; shared so that steps still queued when the reporter is gone
// find their dialog.
struct DialogSlot {
    std::unique_ptr<CProgressDlg> dialog;
};

class QueuedProgress : public ProgressReporter {
public:
    QueuedProgress(GuiQueue& queue, std::shared_ptr<DialogSlot> slot)
        : queue_(queue), slot_(std::move(slot)) {}
    ~QueuedProgress() override { close(); }

    void setPosition(int position) override {
        queue_.runOnGui([slot = slot_, position] {
            if (slot->dialog) slot->dialog->setPosition(position);
        });
    }
    void close() override {
        queue_.runOnGui([slot = slot_] { slot->dialog.reset(); });
    }

private:
    GuiQueue& queue_;
    std::shared_ptr<DialogSlot> slot_;
};

}  // namespace

QueuedProgressFactory::QueuedProgressFactory(GuiQueue& queue, QPointer<QWidget> parent,
                                             std::function<void(CProgressDlg&)> created)
    : queue_(queue), parent_(std::move(parent)), created_(std::move(created)) {}

std::unique_ptr<ProgressReporter> QueuedProgressFactory::createProgressDialog() {
    auto slot = std::make_shared<DialogSlot>();
    // Copies, not the factory: the dialog may be made after the factory is gone.
    queue_.runOnGui([slot, parent = parent_, created = created_] {
        slot->dialog = std::make_unique<CProgressDlg>(parent.data());
        if (created) created(*slot->dialog);
        slot->dialog->show();
        slot->dialog->repaint();
    });
    return std::make_unique<QueuedProgress>(queue_, std::move(slot));
}

}  // namespace qm::ui
