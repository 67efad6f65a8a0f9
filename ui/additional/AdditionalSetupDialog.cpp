#include "ui/additional/AdditionalSetupDialog.h"

#include <QPushButton>
#include <QTabWidget>

#include "state/ProcessState.h"
#include "ui/ControlHandlers.h"
#include "ui/ControlLookup.h"
#include "ui/TemplateBuilder.h"
#include "ui/TemplateLoader.h"
#include "ui/setup/CatalogueBinding.h"
#include "ui/setup/SetupDialog.h"
#include "ui/setup/WindowPlacement.h"

namespace qm::ui {

namespace {

constexpr int kTemplate = 157;
constexpr int kTabControl = 1032;
constexpr int kOk = 1;

}  // namespace

CAdditionalSetupDlg::CAdditionalSetupDlg(ProcessState& state, StatusLine* status,
                                         UiServices& services, QWidget* parent)
    : QDialog(parent) {
    const DialogTemplate dialog = requireTemplate(kTemplate);
    buildInto(this, dialog);
    addPages(dialog, state, status, services);
    fillPages(state);
    if (auto* ok = controlAs<QPushButton>(this, kOk))
        connect(ok, &QPushButton::clicked, this,
                [this, ok] { runHandler(ok, [this] { accept(); }); });
}

void CAdditionalSetupDlg::addPages(const DialogTemplate& dialog, ProcessState& state,
                                   StatusLine* status, UiServices& services) {
    auto* tabs = controlAs<QTabWidget>(this, kTabControl);
    const ControlTemplate* tabTemplate = dialog.find(kTabControl);
    if (!tabs || !tabTemplate) return;
    for (const TabPage& tab : tabTemplate->pages) {
        auto* page = new QWidget;
        buildInto(page, requireTemplate(tab.templateId));
        bindCatalogueControls(page, tab.templateId, state, status, services);
        tabs->addTab(page, tab.caption);
        pages_.push_back(page);
    }
    tabs->setCurrentIndex(0);
}

// Every page shows the settings as they are now, loads made since the last opening included.
void CAdditionalSetupDlg::fillPages(ProcessState& state) {
    for (QWidget* page : pages_) fillCatalogueControls(page, state.scanSettings);
}

void attachAdditionalSetup(CSetupDlg& owner, ProcessState& state, UiServices& services) {
    owner.onAdditionalSetup = [&owner, &state, &services] {
        CAdditionalSetupDlg dialog(state, &owner.statusLine(), services, &owner);
        placeOverOwner(&dialog, &owner);
        dialog.exec();
    };
}

}  // namespace qm::ui
