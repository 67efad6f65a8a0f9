#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qm::sim {

// The engine side of the packet format; kept apart from the host's code on purpose, so a
// fault in one cannot hide the same fault in the other.
inline constexpr uint8_t kSimOpCmdAck = 0xD0;
inline constexpr uint8_t kSimOpCmdNak = 0xD1;
inline constexpr uint8_t kSimOpDecodeData = 0xF3;
inline constexpr uint8_t kSimOpParamSend = 0xC6;
inline constexpr uint8_t kSimOpParamRequest = 0xC7;
inline constexpr uint8_t kSimOpParamDefaults = 0xC8;
inline constexpr uint8_t kSimOpAimOn = 0xC5;
inline constexpr uint8_t kSimOpAimOff = 0xC4;
inline constexpr uint8_t kSimOpStartDecode = 0xE4;
inline constexpr uint8_t kSimOpStopDecode = 0xE5;
inline constexpr uint8_t kSimOpScanEnable = 0xE9;
inline constexpr uint8_t kSimOpScanDisable = 0xEA;
inline constexpr uint8_t kSimOpLedOff = 0xE8;
inline constexpr uint8_t kSimOpRequestRevision = 0xA3;
inline constexpr uint8_t kSimOpReplyRevision = 0xA4;
inline constexpr uint8_t kSimExtendedPrefix = 0xF0;
inline constexpr uint8_t kSimStatusPermanent = 0x08;
inline constexpr uint8_t kSimEngineSource = 0x00;
// The engine's ACK and NAK go out in the very form the host uses for its own.
inline constexpr uint8_t kSimHandshakeSource = 0x04;
inline constexpr uint8_t kSimNoBeep = 0xFF;
inline constexpr size_t kSimMinLength = 4;
inline constexpr size_t kSimMaxLength = 255;

// 16-bit two's complement of the sum of bytes 0 .. Length-1.
uint16_t simChecksum(const uint8_t* packet, size_t length);

// True when `packet` holds Length + 2 bytes and its stored checksum matches.
bool simChecksumMatches(const std::vector<uint8_t>& packet);

// A whole engine packet: Length, opcode, source, status 0, data, checksum.
std::vector<uint8_t> simFramePacket(uint8_t opcode, const std::vector<uint8_t>& data,
                                    uint8_t source = kSimEngineSource);

}  // namespace qm::sim
