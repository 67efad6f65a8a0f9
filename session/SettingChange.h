#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "settings/ParameterCatalogue.h"

namespace qm {

struct ProcessState;
class StatusLine;

// One setting changed through its control: the parameter is sent to the engine at once as a
// temporary change, recorded in CommandArray and ScanSettings, and the active profile is
// saved. A failed send is still recorded and saved; its status text says it failed.
// `status` may be null (no setup dialog open). Each returns the link status of the change
// (of its first failed send when it sends more than one).

// "Updating settings...", setParameter, then "Settings Updated." or "Failed to update
// settings.".
int32_t sendOption(ProcessState& state, StatusLine* status, uint8_t parameter, uint8_t value);

// A check box of the catalogue clicked to `ticked`, with the Code 39 / Trioptic Code 39
// exclusion and the three RSS options sent as extended parameters.
int32_t changeCheckBox(ProcessState& state, StatusLine* status, const CatalogueEntry& entry,
                       bool ticked);

// A length's spin stepped by `delta` from `position`: the new length, or nullopt at either
// end of 0..99, where nothing is sent or saved.
std::optional<int> stepLength(ProcessState& state, StatusLine* status, const CatalogueEntry& entry,
                              int position, int delta);

// A list of an Additional Parameter Setup page closed on `text`: sent whenever its table
// gives a value, the same choice again included.
int32_t chooseListText(ProcessState& state, StatusLine* status, const CatalogueEntry& entry,
                       std::string_view text);

// A Data Format list closed on `text` ("Format", "Code ID", "Prefix", "Suffix 1",
// "Suffix 2"): sent only when the text changed, saved always. "Format" also sets the link's
// data format and "Code ID" its code identifier mode.
int32_t chooseDataFormatText(ProcessState& state, StatusLine* status, const CatalogueEntry& entry,
                             std::string_view text);

// One of the User page's four read-feedback check boxes: no engine parameter, a save and a
// 250 ms pause between the two status texts.
void changeFeedbackFlag(ProcessState& state, StatusLine* status, std::string_view field,
                        bool ticked);

}  // namespace qm
