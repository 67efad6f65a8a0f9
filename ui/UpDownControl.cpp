#include "ui/UpDownControl.h"

#include <QKeyEvent>
#include <QToolButton>
#include <algorithm>

namespace qm::ui {

namespace {

QToolButton* makeArrow(QWidget* parent, Qt::ArrowType arrow, const QString& name) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAccessibleName(name);
    return button;
}

}  // namespace

UpDownControl::UpDownControl(QWidget* parent)
    : QWidget(parent),
      up_(makeArrow(this, Qt::UpArrow, tr("Up"))),
      down_(makeArrow(this, Qt::DownArrow, tr("Down"))) {
    setFocusPolicy(Qt::StrongFocus);
    connect(up_, &QToolButton::clicked, this, [this] { step(1); });
    connect(down_, &QToolButton::clicked, this, [this] { step(-1); });
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
    emit stepRequested(position_, delta);
    setPosition(std::clamp(position_ + delta, minimum_, maximum_));
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
