#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "engine/PacketTrace.h"

namespace qm {

// Takes one finished line of the trace (no newline) and writes it whole; called from both
// threads.
using TraceLineSink = std::function<void(const std::string& line)>;

// The name every program's trace goes by: the Qt programs' logging category, and the start
// of each line the others write.
inline constexpr const char* kPacketTraceCategory = "quillmark.packets";

// A readable trace: one line per packet and per transaction outcome, time stamps in
// milliseconds since `originMicros` of the link's clock, e.g.
//     86.252 sent     AIM_ON           04 C5 04 00 FF 33
//    102.504 received CMD_ACK          04 D0 04 00 FF 28
//    102.504 sendCommand status 0: success
class PacketTraceLines : public PacketTrace {
public:
    explicit PacketTraceLines(TraceLineSink sink, int64_t originMicros = 0);

    void packetSent(int64_t timeMicros, const uint8_t* packet, size_t count,
                    IoResult written) override;
    void packetReceived(int64_t timeMicros, const uint8_t* bytes, size_t count) override;
    void transactionEnded(int64_t timeMicros, const char* operation, int32_t status) override;

private:
    std::string stamp(int64_t timeMicros) const;

    TraceLineSink sink_;
    int64_t originMicros_;
};

// Writes each line to `stream` after "quillmark.packets: ", with one call, so lines from
// two threads never mix.
TraceLineSink wholeLinesTo(std::FILE* stream);

}  // namespace qm
