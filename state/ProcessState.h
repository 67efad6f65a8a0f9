#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "engine/EngineParamTable.h"
#include "engine/ScanEngineLink.h"
#include "platform/Platform.h"
#include "platform/WakingFlag.h"
#include "settings/CommandArray.h"
#include "settings/ProfileFiles.h"
#include "settings/ScanSettings.h"
#include "state/LinkSettings.h"

namespace qm {

// Everything that lives for one run of the wedge, built on a platform. The application builds
// one; each test builds a fresh one.
struct ProcessState {
    explicit ProcessState(Platform& platform);
    // Closes the link first: the scanning thread it owns reads the members declared after it,
    // so it must have ended before any of them goes.
    ~ProcessState();
    ProcessState(const ProcessState&) = delete;
    ProcessState& operator=(const ProcessState&) = delete;

    Platform& platform;
    ScanEngineLink link;
    // What the scan works with, copied from scanSettings by the session layer.
    LinkSettings linkSettings;
    ScanSettings scanSettings;
    CommandArray commandArray;
    EngineParamTable engineParamTable{};
    int currentProfile = kLastUserProfile;
    // Where the profiles are, as the last loadSettings found it; saveSettings writes there.
    std::string configFolder;

    // Every change wakes the scanning thread, which waits for it rather than polling.
    WakingFlag ScanningEnabled{link.threadWake, 0};
    std::atomic<int32_t> ServiceMode{0};
    std::atomic<int32_t> AimingActive{0};
    std::atomic<int32_t> ScannerPowerOn{1};
    std::atomic<int64_t> AimStartTime{0};
};

}  // namespace qm
