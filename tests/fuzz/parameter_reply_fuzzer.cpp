// Feeds arbitrary answers to the parameter request (see FuzzPort: the write of the request
// makes the reply arrive), and arbitrary packets to the pair parser. The first byte fills
// the table beforehand. Only a whole, well-summed PARAM_SEND fills the table, with exactly
// the pairs of its body; anything else clears it, or leaves it alone when the line failed.
#include <algorithm>
#include <cstring>

#include "FuzzLine.h"
#include "engine/ParameterExchange.h"

using qm::fuzz::require;

namespace {

struct Expected {
    qm::EngineParamTable table{};
    qm::ParameterPairs pairs;
};

// Pairs of the body, offsets 5 .. Length - 1, up to a number of 0xF0.
Expected pairsOfBody(const uint8_t* packet) {
    Expected expected;
    const std::vector<uint8_t> body(packet + std::min<size_t>(5, packet[0]), packet + packet[0]);
    for (size_t i = 0; i + 2 <= body.size() && body[i] != 0xF0; i += 2) {
        expected.table[body[i]] = body[i + 1];
        expected.pairs.emplace_back(body[i], body[i + 1]);
    }
    return expected;
}

void checkParser(const uint8_t* data, size_t size) {
    uint8_t packet[qm::ReplyPacket::kCapacity] = {};
    std::memcpy(packet, data, std::min(size, sizeof packet));
    qm::EngineParamTable table;
    table.fill(0x5A);
    qm::ParameterPairs pairs;
    const uint32_t count = qm::storeParameterPairs(packet, table, &pairs);
    const Expected expected = pairsOfBody(packet);
    require(count == expected.pairs.size() && pairs == expected.pairs);
    require(table == expected.table);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    checkParser(data + 1, size - 1);
    qm::fuzz::FuzzLink line(data + 1, size - 1, true);
    qm::fuzz::FuzzPort& port = *line.port;
    qm::EngineParamTable table;
    table.fill(data[0]);
    const qm::EngineParamTable before = table;
    qm::ParameterPairs pairs;
    const uint32_t count = qm::requestParameters(*line.link, table, &pairs);

    require(line.link->LinkStatus == qm::kLinkOk);
    require(port.writes == 1);
    require(port.mostEmptyReplyReads() <= 1);
    require(line.clock.nowMicros() <= (10 + 10 + 1002) * int64_t{1000});
    std::vector<uint8_t> reply = port.replyBytes();
    const bool complete = !reply.empty() && reply.size() >= reply[0] + 2u;
    if (complete) reply.resize(reply[0] + 2u);
    if (qm::fuzz::wholeGoodPacket(reply, qm::kOpParamSend)) {
        const Expected expected = pairsOfBody(reply.data());
        require(count == expected.pairs.size() && pairs == expected.pairs);
        require(table == expected.table);
    } else if (!complete && port.anyReadFailed) {
        require(count == 0 && table == before);
    } else {
        require(count == 0 && pairs.empty() && table == qm::EngineParamTable{});
    }
    return 0;
}
