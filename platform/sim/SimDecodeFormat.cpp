#include "platform/sim/SimDecodeFormat.h"

namespace qm::sim {
namespace {

void appendCharacter(std::string& out, bool wanted, uint8_t code) {
    if (wanted && code != 0) out.push_back(static_cast<char>(code));
}

void appendCodeId(std::string& out, uint8_t mode, const CodeIds& ids) {
    if (mode == kCodeIdAim) out += ids.aim;
    if (mode == kCodeIdSymbol) out.push_back(ids.symbol);
}

}  // namespace

std::string formatDecodeData(const DecodeFormat& format, const CodeIds& ids,
                             std::string_view data) {
    std::string out;
    appendCharacter(out, (format.format & 4) != 0, format.prefix);
    appendCodeId(out, format.codeId, ids);
    out += data;
    appendCharacter(out, (format.format & 1) != 0, format.suffix1);
    appendCharacter(out, (format.format & 2) != 0, format.suffix2);
    if (out.size() > kMaxDecodeDataBytes) out.resize(kMaxDecodeDataBytes);
    return out;
}

}  // namespace qm::sim
