#include "ui/profiles/SetupProfiles.h"

#include <QComboBox>

#include "session/ProfileCommands.h"
#include "ui/ControlLookup.h"
#include "ui/profiles/SetupProfileObserver.h"
#include "ui/setup/DataFormatPage.h"
#include "ui/setup/DefaultsPage.h"
#include "ui/setup/ScannerPage.h"
#include "ui/setup/SetupDialog.h"
#include "ui/setup/UserPage.h"

namespace qm::ui {

namespace {

constexpr int kProfileList = 1055;

SetupPageHooks hooksOf(CSetupDlg& dialog) {
    return {&dialog.statusLine(), [&dialog] { dialog.applySettingsToPages(); },
            [&dialog] {
                const bool twoButton = dialog.userPage().twoButtonControl();
                dialog.userPage().showTwoButtonControls(twoButton);
                dialog.scannerPage().showTwoButtonControls(twoButton);
                dialog.dataFormatPage().updateFormatControls();
            }};
}

// The selection as it was when the button was pressed survives the refresh of every page.
std::function<void()> keepSelection(CDefaultsPage& page) {
    return [&page, selected = page.selectedProfileName()] {
        if (auto* list = controlAs<QComboBox>(&page, kProfileList)) list->setCurrentText(selected);
        page.updateSaveButton();
    };
}

}  // namespace

void attachProfiles(CSetupDlg& dialog, ProcessState& state, UiServices& services) {
    CDefaultsPage& page = dialog.defaultsPage();
    page.onSave = [&dialog, &page, &state, &services] {
        const SetupPageHooks hooks = hooksOf(dialog);
        SetupProfileObserver observer(&dialog, services, hooks, {});
        saveProfile(state, observer, page.selectedProfileName().toStdString());
    };
    page.onLoad = [&dialog, &page, &state, &services] {
        const SetupPageHooks hooks = hooksOf(dialog);
        SetupProfileObserver observer(&dialog, services, hooks, keepSelection(page));
        loadProfile(state, observer, page.selectedProfileName().toStdString());
    };
}

}  // namespace qm::ui
