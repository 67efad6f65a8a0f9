#pragma once

#include <QTimer>
#include <QWidget>
#include <optional>

class QToolButton;

namespace qm::ui {

// The up-down control beside a length or time edit: two arrows that step a position within
// a range, without wrapping and without touching the edit. Before each step it announces the
// position and the step, so the owner can act and then refresh the edit itself. The up and
// down arrow keys step it too, on itself and on the edit it is attached to.
//
// Steps are handlers (ui/ControlHandlers.h): one that comes while another is still at work
// waits, and starts from the position the one before it left. An arrow held down with the
// mouse repeats only once the step before has ended, and stops when it is let go.
class UpDownControl : public QWidget {
    Q_OBJECT

public:
    explicit UpDownControl(QWidget* parent = nullptr);

    void setRange(int minimum, int maximum);
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    void setPosition(int position);
    int position() const { return position_; }

    // The edit whose arrow keys step this control.
    void attachTo(QWidget* edit);
    QWidget* attachedEdit() const { return edit_; }

    // One step as an arrow press makes it: announced, then carried out within the range.
    void step(int delta);
    // One step to `position` (kept within the range), as assistive technology sets a value.
    void stepTo(int position);

    QToolButton* upArrow() const { return up_; }
    QToolButton* downArrow() const { return down_; }

signals:
    void stepRequested(int position, int delta);
    void positionChanged(int position);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void stepNow(int delta);
    bool stepForKey(int key);
    void arrowPressed(QToolButton* arrow);
    void repeatHeldArrow();
    int deltaOf(const QToolButton* arrow) const { return arrow == up_ ? 1 : -1; }

    QToolButton* up_;
    QToolButton* down_;
    QWidget* edit_ = nullptr;
    int minimum_ = 0;
    int maximum_ = 100;
    int position_ = 0;
    QTimer repeat_;
    QToolButton* held_ = nullptr;
};

}  // namespace qm::ui
