#pragma once

#include <atomic>
#include <cstdint>

#include "engine/EngineParamTable.h"
#include "settings/ScanSettings.h"
#include "settings/TriggerKeyTable.h"

namespace qm {

// The link's scan settings: what the scan cycle and the scanning thread work with, copied from
// ScanSettings. Read from any thread; written only through the operations below, each one
// rule of how a setting reaches the scan. When each applies is the session layer's to say.
class LinkSettings {
public:
    // What a format or Code ID text outside its table does to the value it would set.
    enum class UnknownText { KeepsValue, GivesZero };

    uint32_t codeIdMode() const { return codeIdMode_.load(); }  // 0 none, 1 symbol, 2 AIM
    int32_t scanTime() const { return scanTime_.load(); }       // tenths of a second
    int32_t twoButtonMode() const { return twoButtonMode_.load(); }
    int32_t targetTime() const { return targetTime_.load(); }  // tenths of a second
    uint8_t targetKey() const { return targetKey_.load(); }    // 0: none
    uint8_t scanKey() const { return scanKey_.load(); }
    uint8_t dataFormat() const { return dataFormat_.load(); }  // 0 .. 7

    // Two-button mode, data format (kept for an unknown text), both times and the trigger
    // keys; never the code identifier mode.
    void copyFrom(const ScanSettings& settings);
    // The key codes of the trigger key names; no target key without two-button control.
    void copyTriggerKeysFrom(const ScanSettings& settings);
    void copyDataFormatFrom(const ScanSettings& settings, UnknownText unknown);
    // The link numbers the identifiers the other way round from the engine's parameter.
    void copyCodeIdModeFrom(const ScanSettings& settings, UnknownText unknown);
    // What the engine itself holds (code identifier, data format, scan time), with two-button
    // mode on: the engine does its own aiming, so there is no one-button wait.
    void copyFromEngine(const EngineParamTable& engine);

private:
    std::atomic<uint32_t> codeIdMode_{0};
    std::atomic<int32_t> scanTime_{0};
    std::atomic<int32_t> twoButtonMode_{0};
    std::atomic<int32_t> targetTime_{0};
    std::atomic<uint8_t> targetKey_{0};
    std::atomic<uint8_t> scanKey_{kDefaultScanKey};
    std::atomic<uint8_t> dataFormat_{0};
};

}  // namespace qm
