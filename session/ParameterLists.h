#pragma once

#include <array>
#include <cstdint>

#include "settings/ParameterNumbers.h"

namespace qm {

struct ForcedParameter {
    uint8_t number;
    uint8_t value;
};

// Parameters the program always wants at fixed values, whatever a profile holds.
inline constexpr std::array<ForcedParameter, 10> ForcedParameters{{
    {159, 1},
    {238, 1},
    {128, 1},
    {138, 8},
    {137, 10},
    {94, 1},
    {236, 1},
    {156, 6},
    {158, 4},
    {157, 1},
}};

enum class SyncRule : uint8_t {
    Plain,
    AimDuration,     // 237: 0 while the target key does the aiming
    TriopticCode39,  // 13: off whenever Code 39 is on, sent without comparing
    Extended,        // 0xF0 bank: never read back, so always sent
};

struct SyncStep {
    uint8_t number;
    SyncRule rule;
};

// Every parameter the profile decides, in the order they are pushed to the engine.
inline constexpr std::array<SyncStep, 68> SyncList{{
    {136, SyncRule::Plain},         {237, SyncRule::AimDuration}, {191, SyncRule::Plain},
    {78, SyncRule::Plain},          {67, SyncRule::Plain},        {1, SyncRule::Plain},
    {2, SyncRule::Plain},           {12, SyncRule::Plain},        {4, SyncRule::Plain},
    {3, SyncRule::Plain},           {83, SyncRule::Plain},        {0, SyncRule::Plain},
    {13, SyncRule::TriopticCode39}, {86, SyncRule::Plain},        {231, SyncRule::Plain},
    {18, SyncRule::Plain},          {19, SyncRule::Plain},        {48, SyncRule::Plain},
    {43, SyncRule::Plain},          {17, SyncRule::Plain},        {9, SyncRule::Plain},
    {26, SyncRule::Plain},          {27, SyncRule::Plain},        {6, SyncRule::Plain},
    {22, SyncRule::Plain},          {23, SyncRule::Plain},        {49, SyncRule::Plain},
    {44, SyncRule::Plain},          {82, SyncRule::Plain},        {16, SyncRule::Plain},
    {80, SyncRule::Plain},          {40, SyncRule::Plain},        {41, SyncRule::Plain},
    {42, SyncRule::Plain},          {34, SyncRule::Plain},        {35, SyncRule::Plain},
    {36, SyncRule::Plain},          {37, SyncRule::Plain},        {38, SyncRule::Plain},
    {39, SyncRule::Plain},          {224, SyncRule::Plain},       {77, SyncRule::Plain},
    {85, SyncRule::Plain},          {8, SyncRule::Plain},         {14, SyncRule::Plain},
    {84, SyncRule::Plain},          {5, SyncRule::Plain},         {20, SyncRule::Plain},
    {21, SyncRule::Plain},          {7, SyncRule::Plain},         {24, SyncRule::Plain},
    {25, SyncRule::Plain},          {54, SyncRule::Plain},        {55, SyncRule::Plain},
    {11, SyncRule::Plain},          {30, SyncRule::Plain},        {31, SyncRule::Plain},
    {50, SyncRule::Plain},          {46, SyncRule::Plain},        {51, SyncRule::Plain},
    {0x52, SyncRule::Extended},     {0x53, SyncRule::Extended},   {0x54, SyncRule::Extended},
    {45, SyncRule::Plain},          {105, SyncRule::Plain},       {104, SyncRule::Plain},
    {106, SyncRule::Plain},         {235, SyncRule::Plain},
}};

}  // namespace qm
