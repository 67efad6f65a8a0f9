#pragma once

#include <QString>
#include <functional>

#include "ui/setup/SetupPage.h"

namespace qm::ui {

// "Defaults": the profile list with "Save" and "Load". What the two buttons do belongs to
// whoever sets the hooks; the page shows "Factory Defaults" first and hides "Save" for it
// unless the service mode is on.
class CDefaultsPage : public SetupPage {
public:
    CDefaultsPage(ProcessState& state, StatusLine* status, UiServices& services,
                  QWidget* parent = nullptr);

    QString selectedProfileName() const;
    void updateSaveButton();

    std::function<void()> onSave;
    std::function<void()> onLoad;
};

}  // namespace qm::ui
