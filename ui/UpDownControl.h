#pragma once

#include <QWidget>

class QToolButton;

namespace qm::ui {

// The up-down control beside a length or time edit: two arrows that step a position within
// a range, without wrapping and without touching the edit. Before each step it announces the
// position and the step, so the owner can act and then refresh the edit itself. The up and
// down arrow keys step it too, on itself and on the edit it is attached to.
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

signals:
    void stepRequested(int position, int delta);
    void positionChanged(int position);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool stepForKey(int key);

    QToolButton* up_;
    QToolButton* down_;
    QWidget* edit_ = nullptr;
    int minimum_ = 0;
    int maximum_ = 100;
    int position_ = 0;
};

}  // namespace qm::ui
