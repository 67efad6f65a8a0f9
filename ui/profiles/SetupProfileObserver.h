#pragma once

#include <functional>

#include "session/ProfileCommands.h"
#include "ui/profiles/SetupPageHooks.h"

class QWidget;

namespace qm::ui {

struct UiServices;

// A profile's Save or Load as the Bar Code Setup dialog shows it: texts in its status line,
// boxes owned by `window`, the synchronisation beside a repainting window with its progress
// window on top.
class SetupProfileObserver : public ProfileObserver {
public:
    SetupProfileObserver(QWidget* window, UiServices& services, const SetupPageHooks& hooks,
                         std::function<void()> refreshDefaultsPage);

    void showStatus(std::string_view text) override;
    void showMissingProfile(std::string_view text) override;
    void showUnreadableProfile(std::string_view text) override;
    void applySettingsToPages() override;
    void refreshAfterLoad() override;
    void runEngineWork(const std::function<void()>& work) override;
    std::unique_ptr<ProgressReporter> createProgressDialog() override;

private:
    QWidget* window_;
    UiServices& services_;
    const SetupPageHooks& hooks_;
    std::function<void()> refreshDefaultsPage_;
};

}  // namespace qm::ui
