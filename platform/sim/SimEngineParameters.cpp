#include "platform/sim/SimEngineParameters.h"

#include <utility>

namespace qm::sim {
namespace {

constexpr uint8_t kReportedSimple[] = {
    0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   11,  12,  13,  14,  16,  17,  18,  19, 20,
    21,  22,  23,  24,  25,  26,  27,  30,  31,  34,  35,  36,  37,  38,  39,  40,  41,  42, 43,
    44,  45,  46,  48,  49,  50,  51,  54,  55,  67,  77,  78,  80,  82,  83,  84,  85,  86, 94,
    104, 105, 106, 128, 136, 137, 138, 156, 157, 158, 159, 191, 224, 231, 235, 236, 237, 238};

constexpr uint8_t kReportedExtended[] = {0x00, 0x02, 0x03, 0x52, 0x53, 0x54};

// (number, value) for every simple parameter whose factory value is not 0.
constexpr std::pair<uint8_t, uint8_t> kFactorySimple[] = {
    {0, 1},   // Code 39
    {1, 1},   // UPC-A
    {2, 1},   // UPC-E
    {3, 1},   // EAN-13
    {4, 1},   // EAN-8
    {6, 1},   // Interleaved 2 of 5
    {8, 1},   // Code 128
    {14, 1},  // UCC/EAN-128
    {18, 2},   {19, 55},  {20, 12}, {22, 14}, {24, 5},
    {25, 55},  {26, 4},   {27, 55}, {30, 4},  {31, 55},  // lengths
    {34, 1},   {40, 1},   {41, 1},  {42, 1},             // preamble, check digits
    {51, 1},   {80, 10},  {84, 1},                       // ISBT 128
    {104, 13}, {106, 10},                                // suffixes, unused by the factory format
    {136, 30},                                           // scan time 3.0 s
    {137, 20}, {138, 4},  {156, 2}, {158, 2}, {236, 2},
};

constexpr std::pair<uint8_t, uint8_t> kFactoryExtended[] = {{0x00, 1}, {0x02, 1}, {0x03, 1}};

SimpleParameterTable tableOf(std::span<const std::pair<uint8_t, uint8_t>> values) {
    SimpleParameterTable table{};
    for (const auto& [number, value] : values) table[number] = value;
    return table;
}

}  // namespace

SimpleParameterTable factorySimpleParameters() { return tableOf(kFactorySimple); }
SimpleParameterTable factoryExtendedParameters() { return tableOf(kFactoryExtended); }
std::span<const uint8_t> reportedSimpleParameters() { return kReportedSimple; }
std::span<const uint8_t> reportedExtendedParameters() { return kReportedExtended; }

}  // namespace qm::sim
