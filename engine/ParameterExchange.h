#pragma once

#include <cstdint>

#include "engine/EngineParamTable.h"
#include "engine/ParameterPairs.h"

namespace qm {

class ScanEngineLink;

// Reads every simple parameter the engine reports into `table`; returns the number of
// (number, value) pairs stored, and lists them in `pairs` when given. A reply that is not a
// whole PARAM_SEND packet with a good checksum counts as no answer: the table is cleared.
uint32_t requestParameters(ScanEngineLink& link, EngineParamTable& table,
                           ParameterPairs* pairs = nullptr);

// Single parameter changes; each returns the link status of its send.
int32_t setParameter(ScanEngineLink& link, uint8_t number, uint8_t value);
int32_t storeParameter(ScanEngineLink& link, uint8_t number, uint8_t value);
int32_t setExtendedParameter(ScanEngineLink& link, uint8_t number, uint8_t value);
int32_t storeExtendedParameter(ScanEngineLink& link, uint8_t number, uint8_t value);

}  // namespace qm
