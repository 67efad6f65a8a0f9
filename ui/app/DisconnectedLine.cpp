#include "ui/app/DisconnectedLine.h"

#include <QLabel>
#include <QWidget>

#include "state/ProcessState.h"
#include "ui/ControlLookup.h"
#include "ui/DialogUnits.h"
#include "ui/GuiQueue.h"
#include "ui/ProgramLog.h"

namespace qm::ui {

namespace {

const QString kDisconnectedText = QStringLiteral("Scanner disconnected");

// Dialog units of the main dialog (210 x 82): the strip above "Begin Scan" and "Bar Code
// Setup" is free unless the service buttons are shown; then the corner right of "Exit" is.
constexpr QRect kAboveButtons{4, 6, 202, 10};
constexpr QRect kBesideExit{130, 57, 76, 19};

}  // namespace

DisconnectedLine::DisconnectedLine(QWidget* mainDialog, ProcessState& state, GuiQueue& queue,
                                   std::ostream* log)
    : QObject(mainDialog),
      state_(state),
      log_(log),
      label_(new QLabel(kDisconnectedText, mainDialog)) {
    tagControl(label_, kControlId);
    QFont bold = mainDialog->font();
    bold.setBold(true);
    label_->setFont(bold);
    label_->setAlignment(Qt::AlignCenter);
    label_->setWordWrap(true);
    const DialogUnits units(mainDialog->font());
    label_->setGeometry(units.rect(state_.ServiceMode != 0 ? kBesideExit : kAboveButtons));
    label_->hide();
    linkChanges_.emplace(
        state_.link.deviceChanges.subscribe([this, &queue, alive = std::weak_ptr<int>(alive_)] {
            queue.post([this, alive] {
                if (alive.lock()) update();
            });
        }));
    update();
}

DisconnectedLine::~DisconnectedLine() { linkChanges_.reset(); }

void DisconnectedLine::update() {
    const bool gone = state_.link.deviceGone();
    label_->setVisible(gone);
    if (gone == shown_) return;
    shown_ = gone;
    logFailure(log_, gone ? "Scanner disconnected" : "Scanner connected again");
}

}  // namespace qm::ui
