#include "ui/UpDownControl.h"

#include <QKeyEvent>
#include <QPointer>
#include <QToolButton>
#include <algorithm>

#include "ui/AccessibleControls.h"
#include "ui/ControlHandlers.h"

namespace qm::ui {

namespace {

// Qt's own auto-repeat would fire from the event loop that runs beside a step's engine work,
// stepping again inside the step and never seeing the arrow let go; the control repeats
// by itself instead.
QToolButton* makeArrow(QWidget* parent, Qt::ArrowType arrow, const QString& name) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(false);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAccessibleName(name);
    return button;
}

}  // namespace

UpDownControl::UpDownControl(QWidget* parent)
    : QWidget(parent),
      up_(makeArrow(this, Qt::UpArrow, tr("Up"))),
      down_(makeArrow(this, Qt::DownArrow, tr("Down"))) {
    installAccessibleControls();
    setFocusPolicy(Qt::StrongFocus);
    repeat_.setSingleShot(true);
    connect(&repeat_, &QTimer::timeout, this, [this] { repeatHeldArrow(); });
    for (QToolButton* arrow : {up_, down_}) {
        connect(arrow, &QToolButton::pressed, this, [this, arrow] { arrowPressed(arrow); });
        connect(arrow, &QToolButton::released, this, [this] {
            held_ = nullptr;
            repeat_.stop();
        });
    }
}

void UpDownControl::setRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
}

void UpDownControl::setPosition(int position) {
    if (position == position_) return;
    position_ = position;
    emit positionChanged(position_);
}

void UpDownControl::attachTo(QWidget* edit) {
    if (edit_) edit_->removeEventFilter(this);
    edit_ = edit;
    if (edit_) edit_->installEventFilter(this);
}

void UpDownControl::step(int delta) {
    runHandler(this, [this, delta] { stepNow(delta); });
}

// The delta is taken when the step runs, from the position the steps before it left.
void UpDownControl::stepTo(int position) {
    runHandler(this, [this, position] {
        const int delta = std::clamp(position, minimum_, maximum_) - position_;
        if (delta != 0) stepNow(delta);
    });
}

void UpDownControl::stepNow(int delta) {
    const QPointer<UpDownControl> alive(this);
    emit stepRequested(position_, delta);
    if (alive) setPosition(std::clamp(position_ + delta, minimum_, maximum_));
}

void UpDownControl::arrowPressed(QToolButton* arrow) {
    const QPointer<UpDownControl> alive(this);
    held_ = arrow;
    step(deltaOf(arrow));
    // The press may have been let go while the step talked to the engine.
    if (alive && held_ == arrow && arrow->isDown()) repeat_.start(arrow->autoRepeatDelay());
}

void UpDownControl::repeatHeldArrow() {
    const QPointer<UpDownControl> alive(this);
    QToolButton* arrow = held_;
    if (!arrow || !arrow->isDown()) return;
    // Repeats are not stored up behind another control's work: the arrow may be let go
    // before that ends.
    if (!handlerRunning()) step(deltaOf(arrow));
    if (alive && held_ == arrow && arrow->isDown()) repeat_.start(arrow->autoRepeatInterval());
}

bool UpDownControl::stepForKey(int key) {
    if (key != Qt::Key_Up && key != Qt::Key_Down) return false;
    step(key == Qt::Key_Up ? 1 : -1);
    return true;
}

void UpDownControl::keyPressEvent(QKeyEvent* event) {
    if (!stepForKey(event->key())) QWidget::keyPressEvent(event);
}

bool UpDownControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_ && event->type() == QEvent::KeyPress) {
        return stepForKey(static_cast<QKeyEvent*>(event)->key());
    }
    return QWidget::eventFilter(watched, event);
}

void UpDownControl::resizeEvent(QResizeEvent* /*event*/) {
    const int upperHeight = height() / 2;
    up_->setGeometry(0, 0, width(), upperHeight);
    down_->setGeometry(0, upperHeight, width(), height() - upperHeight);
}

}  // namespace qm::ui
