#pragma once

#include <QString>

#include "ui/setup/SetupPage.h"

namespace qm {
struct ScanSettings;
}

namespace qm::ui {

// "Data Format": the format and which of prefix and suffixes it uses, the code identifier.
class CDataFormatPage : public SetupPage {
public:
    CDataFormatPage(ProcessState& state, StatusLine* status, UiServices& services,
                    QWidget* parent = nullptr);

    // The lists from the settings.
    void fill(const ScanSettings& settings);
    // Shows the prefix and suffix lists the chosen format uses, enables their labels.
    void updateFormatControls();
    QString codeIdText() const;

private:
    void showFormatParts(const QString& format);
};

}  // namespace qm::ui
