#pragma once

#include <QLineEdit>
#include <QPointer>

#include "session/ScannerTests.h"

namespace qm::ui {

class GuiQueue;

// The Scanner page's Scan Data box as the scan test reports to it from the engine's thread;
// each text reaches the box on the GUI thread, which keeps repainting while the test runs.
class ScanDataBox : public ScanTestPage {
public:
    ScanDataBox(QLineEdit* box, GuiQueue& queue);

    void preparing() override;
    void showData(const std::u16string& data) override;
    void failed() override;
    // The box already shows the last text; the page refreshes the rest when the test is over.
    void refreshControls() override {}

private:
    void show(QString text);

    QPointer<QLineEdit> box_;
    GuiQueue& queue_;
};

}  // namespace qm::ui
