#pragma once

#include <QElapsedTimer>
#include <QObject>

namespace qm::app {

// For the start-up benchmark: the longest time between two paints of the windows it watches.
class PaintGapProbe : public QObject {
public:
    PaintGapProbe();
    void watch(QObject* window);
    qint64 longestGapMs() const { return longest_; }
    int paints() const { return paints_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QElapsedTimer clock_;
    qint64 last_ = -1;
    qint64 longest_ = 0;
    int paints_ = 0;
};

}  // namespace qm::app
