#pragma once

#include <QWidget>

#include "platform/sim/SimEngine.h"

class QLabel;
class QPushButton;

namespace qm {
struct ProcessState;
}

namespace qm::app {

class VirtualKeys;

// "Simulated engine": what lies in front of the engine, and its scan and target keys. The
// window never takes the keyboard focus, so a decode lands where the focus is; only the bar
// code's own dialog, which needs typing, takes it while it is open.
class SimulatedEngineWindow : public QWidget {
public:
    SimulatedEngineWindow(sim::SimEngine& engine, VirtualKeys& keys, ProcessState& state);

    void place(const std::optional<sim::Barcode>& barcode);
    // The buttons as a program drives them: held down or let go.
    void holdScanKey(bool down);
    void holdTargetKey(bool down);
    QPushButton* scanButton() const { return scan_; }

private:
    void chooseBarcode();
    QPushButton* holdButton(const QString& text, bool scanKey);

    sim::SimEngine& engine_;
    VirtualKeys& keys_;
    ProcessState& state_;
    std::optional<sim::Barcode> barcode_;
    QLabel* shown_;
    QPushButton* scan_;
};

}  // namespace qm::app
