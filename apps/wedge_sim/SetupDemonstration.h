#pragma once

#include <QPixmap>
#include <QString>
#include <functional>

namespace qm {
struct ProcessState;
}
namespace qm::sim {
class SimEngine;
}
namespace qm::ui {
class CSetupDlg;
}

namespace qm::app {

// The demonstration's round through Bar Code Setup, run inside the open dialog: a symbology
// ticked on Code Type, the scan time stepped, the format changed on Data Format, the scan
// test; User Config 1 saved, a setting changed and User Config 1 loaded back, the factory
// defaults restored; a screenshot of every page and of the seven Additional Parameter Setup
// pages. `save` keeps a screenshot; false from `check` ends it with that reason.
class SetupDemonstration {
public:
    using Saver = std::function<void(const QPixmap&, const QString& name)>;

    SetupDemonstration(ui::CSetupDlg& dialog, ProcessState& state, sim::SimEngine& engine,
                       Saver save);
    // Empty when every step did what it should, else what went wrong.
    QString run();

private:
    void showPage(int index);
    void screenshotAdditionalPages();
    bool parameterSentAgain(uint8_t number, size_t before) const;
    size_t sends(uint8_t number) const;

    ui::CSetupDlg& dialog_;
    ProcessState& state_;
    sim::SimEngine& engine_;
    Saver save_;
};

}  // namespace qm::app
