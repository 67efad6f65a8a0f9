#pragma once

#include <cstdint>

namespace qm {

// Result codes of engine transactions, left in LinkStatus. 0 is success.
enum LinkCode : int32_t {
    kLinkOk = 0,
    kLinkBodyReadError = 2,
    kLinkWriteFailed = 3,
    kLinkNotAcknowledged = 13,
    kScanNoDecodePacket = 14,
    kLinkCtsTimeout = 18,
    kLinkModemStatusFailed = 19,
    kLinkWakeFailed = 20,
    kLinkShortPacket = 21,
    kLinkLengthReadError = 22,
    kLinkNoLengthByte = 23,
    kLinkReplyReadError = 24,
    kScanNoRead = 25,
    kScanBadChecksum = 26,
    kBurnVerifyFailed = 27,
    // The factory profile could not be read or is not whole, so nothing was burned: burning
    // a broken profile would disable symbologies permanently.
    kBurnDefaultsUnreadable = 28,
    // The engine's device is gone (unplugged, hung up, its node removed): the engine never had
    // the packet, and the link does nothing more until the port is reopened.
    kLinkDeviceGone = 29,
};

// A short explanation of a code for people reading a tool's error output.
const char* linkCodeMeaning(int32_t code);

}  // namespace qm
