#include "ui/profiles/SyncProgressWindow.h"

#include <QProgressBar>
#include <QWidget>

#include "ui/ControlLookup.h"
#include "ui/GuiQueue.h"
#include "ui/TemplateBuilder.h"
#include "ui/TemplateLoader.h"

namespace qm::ui {

namespace {
constexpr int kTemplate = 148;
constexpr int kBar = 1069;
}  // namespace

SyncProgressWindow::SyncProgressWindow(GuiQueue& queue, QWidget* owner)
    : queue_(queue), window_(buildWidget(requireTemplate(kTemplate), owner)) {
    window_->setWindowFlag(Qt::Window);
    bar_ = controlAs<QProgressBar>(window_.get(), kBar);
    if (bar_) bar_->setRange(0, kLastPosition);
    window_->show();
}

SyncProgressWindow::~SyncProgressWindow() = default;

void SyncProgressWindow::setPosition(int position) {
    queue_.runOnGui([this, position] {
        if (bar_) bar_->setValue(position);
    });
}

void SyncProgressWindow::close() { window_->hide(); }

int SyncProgressWindow::position() const { return bar_ ? bar_->value() : -1; }

}  // namespace qm::ui
