#pragma once

#include <cstdint>

#include "engine/EngineParamTable.h"

namespace qm {

class ScanEngineLink;

// Reads every simple parameter the engine reports into `table`; returns the number of
// (number, value) pairs stored.
uint32_t requestParameters(ScanEngineLink& link, EngineParamTable& table);

// Single parameter changes; each returns the link status of its send.
int32_t setParameter(ScanEngineLink& link, uint8_t number, uint8_t value);
int32_t storeParameter(ScanEngineLink& link, uint8_t number, uint8_t value);
int32_t setExtendedParameter(ScanEngineLink& link, uint8_t number, uint8_t value);
int32_t storeExtendedParameter(ScanEngineLink& link, uint8_t number, uint8_t value);

}  // namespace qm
