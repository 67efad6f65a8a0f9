#pragma once

#include <string_view>

namespace qm::ui {

// The words the pages put on what the scanning code reports. Free of Qt, so that the scanning
// code's tests and the pages can share them.

// The Scanner page's Scan Data box while the scan test runs and when it fails.
inline constexpr std::u16string_view kPreparingToScanText = u"Preparing to Scan...";
inline constexpr std::u16string_view kFailedToScanText = u"Failed to Scan!";

// The Turn Scanner button names what its next press will do.
constexpr std::u16string_view scannerPowerCaption(bool poweredOn) {
    return poweredOn ? u"Turn Scanner\nOFF" : u"Turn Scanner\nON";
}

}  // namespace qm::ui
