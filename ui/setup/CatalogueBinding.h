#pragma once

class QWidget;

namespace qm {
struct ProcessState;
struct ScanSettings;
class StatusLine;
}  // namespace qm

namespace qm::ui {

struct UiServices;

// Connects every catalogue control of a built page (ui/setup/ControlCatalogue.h) to its
// handler: check boxes on click, lists whenever their list closes, lengths on each spin step.
// Each handler talks to the engine beside the repainting window, then shows the settings in
// the page again (so the Code 39 exclusion clears the other box). `status` may be null.
void bindCatalogueControls(QWidget* page, int templateId, ProcessState& state, StatusLine* status,
                           UiServices& services);

// Shows the settings in the page's catalogue controls, the spins' ranges and positions
// included. The page's template is the one it was built from.
void fillCatalogueControls(QWidget* page, const ScanSettings& settings);

// The same without touching the spins: what a handler does while its spin is about to move.
void refreshCatalogueControls(QWidget* page, const ScanSettings& settings);

}  // namespace qm::ui
