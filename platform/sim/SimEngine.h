#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/Wakeup.h"
#include "platform/sim/SimEngineFramer.h"
#include "platform/sim/SimEngineParameters.h"

namespace qm::sim {

// Symbologies the simulated engine can decode, each with the parameter that enables it.
enum class Symbology : uint8_t {
    Code39,
    TriopticCode39,
    Code93,
    Code128,  // USS-128
    UccEan128,
    Isbt128,
    MsiPlessey,
    Discrete2of5,
    Interleaved2of5,
    Codabar,
    UpcA,
    UpcE,
    UpcE1,
    Ean8,
    Ean13,
    BooklandEan,
    Rss14,        // extended 0xF0 0x52
    RssLimited,   // extended 0xF0 0x53
    RssExpanded,  // extended 0xF0 0x54
};

struct Barcode {
    Symbology symbology = Symbology::Code128;
    std::string data;
};

// A packet the engine received from the host, stamped with the virtual (or real) time in
// microseconds at which its last byte arrived.
struct ReceivedPacket {
    int64_t timeMicros = 0;
    std::vector<uint8_t> bytes;
};

// Every fault is a switch. Counters count down as they are used.
struct EngineFaults {
    bool ctsNeverRises = false;
    bool modemStatusFails = false;
    bool rtsFails = false;
    int nakNextCommands = 0;     // answer the next N acknowledged commands with CMD_NAK
    int silentNextCommands = 0;  // answer nothing to the next N commands
    int wrongChecksumNextReplies = 0;
    int wrongOpcodeNextReplies = 0;  // replies other than CMD_NAK with an unexpected opcode
    int shortNextReplies = 0;       // send only the first min(6, n - 1) bytes of the next N replies
    int garbledNextReplies = 0;     // flip the opcode's low bit, checksum kept: NAK reads as ACK
    int doubledNextReplies = 0;     // send the next N replies twice, back to back
    int loneLengthNextReplies = 0;  // send only the Length byte of the next N replies
    int wrongLengthNextReplies = 0;  // the next N replies carry `wrongLength` as their Length
    uint8_t wrongLength = 0;
    // Every answer to a command starts this long after the command's last byte; none: the
    // engine's own latencies (kReplyLatencyMicros, kParamReplyLatencyMicros).
    std::optional<int64_t> replyDelayMicros;
    bool writeFails = false;    // host write calls fail
    bool readFails = false;     // host read calls fail
    bool disconnected = false;  // every port call fails
};

// A model of a decoded SSI scan engine, driven by time-stamped bytes in both directions.
// The host side (a simulated serial port, or a pseudo-terminal pump) feeds it bytes with
// the time they arrived and collects the bytes it sends with the time they leave its
// UART. Thread-safe.
class SimEngine {
public:
    static constexpr int64_t kByteMicros = 1042;  // 10 bits at 9600 baud
    static constexpr int64_t kReplyLatencyMicros = 1000;
    // Gathering the whole table takes a while.
    static constexpr int64_t kParamReplyLatencyMicros = 50'000;
    static constexpr int64_t kDecodeMicros = 50'000;  // from the end of aiming to a decode
    static constexpr uint8_t kWrongOpcode = 0xB1;     // what a reply carries under that fault

    SimEngine();
    // Starts with `simpleParameters` as both current and permanent values; the 0xF0 bank
    // starts at its factory values.
    explicit SimEngine(const SimpleParameterTable& simpleParameters);

    // --- host side ---------------------------------------------------------------
    void receiveByte(uint8_t byte, int64_t timeMicros);
    // Bytes whose last bit has left the engine at or before `timeMicros`, oldest first.
    std::vector<uint8_t> takeBytesDue(int64_t timeMicros);
    // When the next queued byte will have arrived, if any is queued.
    std::optional<int64_t> nextByteTime();
    void setRts(bool on, int64_t timeMicros);
    bool cts();
    // A consistent copy of the fault switches, for the serial line.
    EngineFaults faultsSnapshot();

    // --- test and scenario side ---------------------------------------------------
    EngineFaults& faults();                            // change only while no host is mid-call
    void setFaults(const EngineFaults& faults);        // safe at any time, between transactions
    void setParameter(uint8_t number, uint8_t value);  // current and permanent
    void setExtendedParameter(uint8_t number, uint8_t value);  // current and permanent
    uint8_t parameter(uint8_t number);
    uint8_t extendedParameter(uint8_t number);
    uint8_t permanentParameter(uint8_t number);
    uint8_t permanentExtendedParameter(uint8_t number);
    void placeBarcode(const Barcode& barcode);
    void removeBarcode();
    bool aiming();
    // Queue raw bytes to the host, the first leaving `delayMicros` from `nowMicros`.
    void sendRaw(const std::vector<uint8_t>& bytes, int64_t nowMicros, int64_t delayMicros = 0);
    std::vector<ReceivedPacket> received();
    void clearReceived();
    // Current values fall back to the permanent ones; aiming and any decode stop.
    void powerCycle();
    bool scanEnabled();

    // The engine pulled off its line: every port call fails, what was on the wire is lost, and
    // a port opened before stays lost even once it is back. plugIn() brings it back powered up
    // afresh (a power cycle). Each raises plugChanges(), whose subscribers hear of it on the
    // calling thread.
    void unplug();
    void plugIn();
    bool pluggedIn();
    // Counts the unplugs: a port opened at one count is lost at any other.
    uint64_t plugCount();
    Wakeup& plugChanges() { return plugChanges_; }

private:
    struct PendingDecode {
        int64_t aimEndsMicros = 0;
        int64_t sendMicros = 0;
        std::optional<std::vector<uint8_t>> packet;  // none: the scan ends silently
    };
    struct OutgoingByte {
        int64_t dueMicros;
        uint8_t byte;
    };

    void powerCycleLocked();
    void noteTime(int64_t timeMicros);
    void releaseDueDecode(int64_t timeMicros);
    void handlePacket(const std::vector<uint8_t>& packet, int64_t timeMicros);
    void handleCommand(const std::vector<uint8_t>& packet, int64_t timeMicros);
    void execute(const std::vector<uint8_t>& packet, int64_t timeMicros);
    void applyParamSend(const std::vector<uint8_t>& packet);
    void startDecode(int64_t timeMicros);
    std::optional<std::vector<uint8_t>> scanResult();
    std::vector<uint8_t> decodePacket(uint8_t typeByte, const std::string& data);
    std::vector<uint8_t> paramSendReply(const std::vector<uint8_t>& request);
    bool symbologyEnabled(Symbology symbology);
    void queueReply(std::vector<uint8_t> packet, int64_t readyMicros);
    int64_t replyLatency(int64_t ownLatencyMicros) const;
    void applyReplyFaults(std::vector<uint8_t>& packet);
    void enqueue(const std::vector<uint8_t>& bytes, int64_t readyMicros);

    std::mutex mutex_;
    ParameterBank simple_;
    ParameterBank extended_;
    EngineFaults faults_;
    SimEngineFramer framer_;
    std::deque<OutgoingByte> outgoing_;
    int64_t lineFreeMicros_ = 0;
    int64_t latestMicros_ = 0;
    std::optional<PendingDecode> pending_;
    std::optional<Barcode> barcode_;
    bool rts_ = false;
    bool aimOn_ = false;
    bool scanEnabled_ = true;
    std::vector<ReceivedPacket> received_;
    bool pluggedIn_ = true;
    uint64_t plugCount_ = 0;
    Wakeup plugChanges_;
};

}  // namespace qm::sim
