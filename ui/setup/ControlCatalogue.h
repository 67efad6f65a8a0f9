#pragma once

#include <span>
#include <string_view>

#include "ui/Template.h"

namespace qm::ui {

// How a catalogue control acts on its setting.
enum class CatalogueControlKind {
    CheckBox,        // on click, the new state
    List,            // on close of its list, sent whenever its table gives a value
    Length,          // an edit stepped by its spin, 0..99
    DataFormatList,  // on close of its list, sent only when the text changed
};

// One control of a setup page that drives a catalogue setting: which page, which control,
// the ScanSettings field (its parameter through findCatalogueEntry) and how it acts. A length
// is its edit; `spinId` is the up-down beside it.
struct CatalogueControl {
    int templateId;
    int controlId;
    std::string_view field;
    CatalogueControlKind kind;
    int spinId = NoId;
};

// Every catalogue control of the Bar Code Setup pages (Scanner, Data Format, Code Type) and
// of the seven Additional Parameter Setup pages, page by page.
std::span<const CatalogueControl> catalogueControls();

// The catalogue controls of one page template, in table order.
std::span<const CatalogueControl> catalogueControlsOf(int templateId);

// The control of that page and id, or null; a length is found by its edit's id.
const CatalogueControl* findCatalogueControl(int templateId, int controlId);

}  // namespace qm::ui
