#pragma once

#include <array>
#include <cstdint>

namespace qm {

inline constexpr uint8_t kOpCmdAck = 0xD0;
inline constexpr uint8_t kOpCmdNak = 0xD1;
inline constexpr uint8_t kOpDecodeData = 0xF3;
inline constexpr uint8_t kOpParamSend = 0xC6;
inline constexpr uint8_t kOpParamRequest = 0xC7;
inline constexpr uint8_t kExtendedPrefix = 0xF0;
inline constexpr uint8_t kHostSource = 0x04;
inline constexpr uint8_t kStatusPermanent = 0x08;
// Length, opcode, source and status: a Length below this cannot even hold its own header.
inline constexpr uint8_t kHeaderLength = 4;

enum class ChecksumMode { Compute, Verify };

// Computes or checks the checksum of the packet whose Length is at offset 0; the buffer has
// room for Length + 2 bytes. Compute writes it and returns 0; Verify returns 0 when it
// matches, 1 otherwise.
int packetChecksum(uint8_t* packet, ChecksumMode mode);
// The verify mode on a packet that may not be written to.
bool packetChecksumHolds(const uint8_t* packet);

using FixedPacket = std::array<uint8_t, 6>;

inline constexpr FixedPacket AIM_ON{0x04, 0xC5, 0x04, 0x00, 0xFF, 0x33};
inline constexpr FixedPacket AIM_OFF{0x04, 0xC4, 0x04, 0x00, 0xFF, 0x34};
inline constexpr FixedPacket START_DECODE{0x04, 0xE4, 0x04, 0x00, 0xFF, 0x14};
inline constexpr FixedPacket STOP_DECODE{0x04, 0xE5, 0x04, 0x00, 0xFF, 0x13};
inline constexpr FixedPacket SCAN_ENABLE{0x04, 0xE9, 0x04, 0x00, 0xFF, 0x0F};
inline constexpr FixedPacket CMD_ACK{0x04, 0xD0, 0x04, 0x00, 0xFF, 0x28};
inline constexpr FixedPacket CMD_NAK{0x04, 0xD1, 0x04, 0x00, 0xFF, 0x27};
inline constexpr FixedPacket PARAM_DEFAULTS{0x04, 0xC8, 0x04, 0x00, 0xFF, 0x30};
inline constexpr FixedPacket REQUEST_REVISION{0x04, 0xA3, 0x04, 0x00, 0xFF, 0x55};
inline constexpr FixedPacket SCAN_DISABLE{0x04, 0xEA, 0x04, 0x00, 0xFF, 0x0E};
inline constexpr FixedPacket LED_OFF{0x04, 0xE8, 0x04, 0x00, 0xFF, 0x10};

inline constexpr std::array<uint8_t, 7> PARAM_REQUEST_ALL{0x05, 0xC7, 0x04, 0x00, 0xFE, 0xFE, 0x32};

// One mutable PARAM_SEND buffer; the parameter operations fill in Length, number, value
// and checksum before each send.
using ParamSendPacket = std::array<uint8_t, 10>;

struct ParamSendTemplates {
    ParamSendPacket simpleTemporary{0x07, kOpParamSend, kHostSource, 0x00, 0xFF, 0, 0, 0, 0, 0};
    ParamSendPacket simplePermanent{
        0x07, kOpParamSend, kHostSource, kStatusPermanent, 0xFF, 0, 0, 0, 0, 0};
    ParamSendPacket extendedTemporary{
        0x08, kOpParamSend, kHostSource, 0x00, 0xFF, kExtendedPrefix, 0, 0, 0, 0};
    ParamSendPacket extendedPermanent{
        0x08, kOpParamSend, kHostSource, kStatusPermanent, 0xFF, kExtendedPrefix, 0, 0, 0, 0};
};

}  // namespace qm
