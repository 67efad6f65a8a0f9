#pragma once

#include <QPointer>
#include <functional>
#include <memory>

#include "session/ProgressReporter.h"
#include "ui/app/ProgressDialog.h"

namespace qm::ui {

class GuiQueue;

// The progress dialog as engine work on another thread sees it: every step is handed to the
// GUI thread, which creates, moves and closes the dialog; the work never waits for it.
class QueuedProgressFactory : public ProgressDialogFactory {
public:
    // `parent` is read on the GUI thread when the dialog is made; `created` is told of each new
    // dialog there.
    QueuedProgressFactory(GuiQueue& queue, QPointer<QWidget> parent,
                          std::function<void(CProgressDlg&)> created = {});
    std::unique_ptr<ProgressReporter> createProgressDialog() override;

private:
    GuiQueue& queue_;
    QPointer<QWidget> parent_;
    std::function<void(CProgressDlg&)> created_;
};

}  // namespace qm::ui
