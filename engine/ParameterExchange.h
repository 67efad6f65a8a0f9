#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "engine/EngineParamTable.h"

namespace qm {

class ScanEngineLink;

using ParameterPairs = std::vector<std::pair<uint8_t, uint8_t>>;

// Reads every simple parameter the engine reports into `table`; returns the number of
// (number, value) pairs stored, and lists them in `pairs` when given.
uint32_t requestParameters(ScanEngineLink& link, EngineParamTable& table,
                           ParameterPairs* pairs = nullptr);

// Single parameter changes; each returns the link status of its send.
int32_t setParameter(ScanEngineLink& link, uint8_t number, uint8_t value);
int32_t storeParameter(ScanEngineLink& link, uint8_t number, uint8_t value);
int32_t setExtendedParameter(ScanEngineLink& link, uint8_t number, uint8_t value);
int32_t storeExtendedParameter(ScanEngineLink& link, uint8_t number, uint8_t value);

}  // namespace qm
