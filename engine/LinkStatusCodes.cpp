#include "engine/LinkStatusCodes.h"

namespace qm {

const char* linkCodeMeaning(int32_t code) {
    switch (code) {
        case kLinkOk:
            return "success";
        case kLinkBodyReadError:
            return "reading a packet body failed";
        case kLinkWriteFailed:
            return "writing to the port failed";
        case kLinkNotAcknowledged:
            return "the engine refused or did not acknowledge the command";
        case kScanNoDecodePacket:
            return "two packets arrived, neither of them decode data";
        case kLinkCtsTimeout:
            return "the engine did not answer the wake handshake (no CTS)";
        case kLinkModemStatusFailed:
            return "reading the modem status failed";
        case kLinkWakeFailed:
            return "waking the engine failed (engine silent or RTS failed)";
        case kLinkShortPacket:
            return "a packet was shorter than its length announced";
        case kLinkLengthReadError:
            return "reading a packet's length failed";
        case kLinkNoLengthByte:
            return "no packet arrived from the engine";
        case kLinkReplyReadError:
            return "reading the engine's reply failed";
        case kScanNoRead:
            return "the engine could not decode a bar code";
        case kScanBadChecksum:
            return "a packet with a wrong checksum arrived twice";
        case kBurnVerifyFailed:
            return "the engine's values differ from the defaults burned";
        case kBurnDefaultsUnreadable:
            return "the factory profile defaults.cfg could not be read or is not whole; nothing "
                   "was burned";
        case kLinkDeviceGone:
            return "the engine's device is gone (unplugged or hung up)";
        default:
            return "unknown result";
    }
}

}  // namespace qm
