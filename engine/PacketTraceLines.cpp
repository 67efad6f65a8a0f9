#include "engine/PacketTraceLines.h"

#include <array>
#include <cinttypes>
#include <utility>

#include "engine/LinkStatusCodes.h"
#include "engine/Packets.h"

namespace qm {

namespace {

constexpr int kNameWidth = 16;

std::string opcodeName(uint8_t opcode) {
    static constexpr std::array<std::pair<uint8_t, const char*>, 14> kNames{{
        {AIM_ON[1], "AIM_ON"},
        {AIM_OFF[1], "AIM_OFF"},
        {START_DECODE[1], "START_DECODE"},
        {STOP_DECODE[1], "STOP_DECODE"},
        {SCAN_ENABLE[1], "SCAN_ENABLE"},
        {SCAN_DISABLE[1], "SCAN_DISABLE"},
        {LED_OFF[1], "LED_OFF"},
        {PARAM_DEFAULTS[1], "PARAM_DEFAULTS"},
        {REQUEST_REVISION[1], "REQUEST_REVISION"},
        {kOpCmdAck, "CMD_ACK"},
        {kOpCmdNak, "CMD_NAK"},
        {kOpParamRequest, "PARAM_REQUEST"},
        {kOpParamSend, "PARAM_SEND"},
        {kOpDecodeData, "DECODE_DATA"},
    }};
    for (const auto& [code, name] : kNames) {
        if (code == opcode) return name;
    }
    char unknown[16];
    std::snprintf(unknown, sizeof unknown, "opcode 0x%02X", opcode);
    return unknown;
}

std::string padded(std::string text, size_t width) {
    if (text.size() < width) text.resize(width, ' ');
    return text;
}

std::string hexBytes(const uint8_t* bytes, size_t count) {
    std::string text;
    text.reserve(count * 3);
    for (size_t i = 0; i < count; ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, i == 0 ? "%02X" : " %02X", bytes[i]);
        text += pair;
    }
    return text;
}

std::string packetColumns(const char* direction, const uint8_t* bytes, size_t count) {
    const std::string name = count >= 2 ? opcodeName(bytes[1]) : "-";
    return padded(direction, 8) + " " + padded(name, kNameWidth) + " " + hexBytes(bytes, count);
}

std::string ofBytes(size_t part, size_t whole) {
    return " (" + std::to_string(part) + " of " + std::to_string(whole) + " bytes";
}

// What is wrong with a packet as it stands, if anything.
std::string packetNote(const uint8_t* bytes, size_t count) {
    const size_t announced = size_t{bytes[0]} + 2;
    if (count != announced) return ofBytes(count, announced) + ")";
    if (!packetChecksumHolds(bytes)) return " (wrong checksum)";
    return "";
}

}  // namespace

PacketTraceLines::PacketTraceLines(TraceLineSink sink, int64_t originMicros)
    : sink_(std::move(sink)), originMicros_(originMicros) {}

std::string PacketTraceLines::stamp(int64_t timeMicros) const {
    const int64_t since = timeMicros - originMicros_;
    const int64_t magnitude = since < 0 ? -since : since;
    char text[32];
    std::snprintf(text, sizeof text, "%s%6" PRId64 ".%03" PRId64, since < 0 ? "-" : "",
                  magnitude / 1000, magnitude % 1000);
    return text;
}

void PacketTraceLines::packetSent(int64_t timeMicros, const uint8_t* packet, size_t count,
                                  IoResult written) {
    if (count == 0) return;
    std::string line = stamp(timeMicros) + " " + packetColumns("sent", packet, count);
    if (!written.ok)
        line += " (the write failed)";
    else if (written.count < count)
        line += ofBytes(written.count, count) + " written)";
    else
        line += packetNote(packet, count);
    sink_(line);
}

void PacketTraceLines::packetReceived(int64_t timeMicros, const uint8_t* bytes, size_t count) {
    if (count == 0) return;
    sink_(stamp(timeMicros) + " " + packetColumns("received", bytes, count) +
          packetNote(bytes, count));
}

void PacketTraceLines::transactionEnded(int64_t timeMicros, const char* operation, int32_t status) {
    sink_(stamp(timeMicros) + " " + operation + " status " + std::to_string(status) + ": " +
          linkCodeMeaning(status));
}

TraceLineSink wholeLinesTo(std::FILE* stream) {
    return [stream](const std::string& line) {
        const std::string whole = std::string(kPacketTraceCategory) + ": " + line + "\n";
        std::fwrite(whole.data(), 1, whole.size(), stream);
        std::fflush(stream);
    };
}

}  // namespace qm
