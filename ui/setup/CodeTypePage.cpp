#include "ui/setup/CodeTypePage.h"

#include <QPushButton>

#include "ui/ControlHandlers.h"
#include "ui/setup/CatalogueBinding.h"

namespace qm::ui {

namespace {
constexpr int kTemplate = 130;
constexpr int kSetup = 1057;
}  // namespace

CCodeTypePage::CCodeTypePage(ProcessState& state, StatusLine* status, UiServices& services,
                             QWidget* parent)
    : SetupPage(kTemplate, state, status, services, parent) {
    bindCatalogueControls(this, kTemplate, state_, status_, services_);
    // Its dialog's controls run handlers of their own while it is open.
    auto* setup = item<QPushButton>(kSetup);
    QObject::connect(setup, &QPushButton::clicked, this, [this, setup] {
        runBesideHandlers(setup, [this] {
            if (onSetup) onSetup();
        });
    });
}

void CCodeTypePage::fill(const ScanSettings& settings) { fillCatalogueControls(this, settings); }

}  // namespace qm::ui
