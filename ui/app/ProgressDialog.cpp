#include "ui/app/ProgressDialog.h"

#include <QProgressBar>

#include "session/ProgressReporter.h"
#include "ui/ControlLookup.h"
#include "ui/TemplateBuilder.h"
#include "ui/TemplateLoader.h"

namespace qm::ui {

CProgressDlg::CProgressDlg(QWidget* parent) : QDialog(parent) {
    buildInto(this, requireTemplate(148));
    // In front, but the keyboard stays where the user typed.
    setAttribute(Qt::WA_ShowWithoutActivating);
    bar_ = controlAs<QProgressBar>(this, kBarId);
    bar_->setRange(0, ProgressReporter::kLastPosition);
    bar_->setValue(0);
}

void CProgressDlg::setPosition(int position) {
    bar_->setValue(std::clamp(position, 0, ProgressReporter::kLastPosition));
    // Drawn now: the caller may be about to keep the thread busy.
    repaint();
    emit positionShown(bar_->value());
}

int CProgressDlg::position() const { return bar_->value(); }

}  // namespace qm::ui
