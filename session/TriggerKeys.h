#pragma once

#include <cstdint>
#include <string_view>

namespace qm {

class ScanEngineLink;
struct ScanSettings;

// Sets the link's scan key from its name and, with two-button control on, the target key
// from its; with it off there is no target key (0).
void applyTriggerKeys(ScanEngineLink& link, std::string_view scanKeyName,
                      std::string_view targetKeyName, int32_t twoButtonControl);

// The same from the settings' names and two-button control.
void applyTriggerKeys(ScanEngineLink& link, const ScanSettings& settings);

}  // namespace qm
