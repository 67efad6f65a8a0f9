#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <memory>
#include <vector>

#include "engine/ScanEngineLink.h"
#include "platform/SerialPort.h"
#include "platform/sim/VirtualClock.h"

namespace qm::fuzz {

inline void require(bool condition) {
    if (!condition) std::abort();
}

// What the host's read calls brought, one entry per call.
struct ReadCall {
    bool ok = true;
    std::vector<uint8_t> bytes;
};

// The far end of a serial line that says what the fuzzer says. Before the first write the
// whole input may already wait (`arriving`); with `perWrite`, each write instead makes the
// next reply of the input arrive: two header bytes give its size (0-511, low bit of the
// second byte as bit 8) and whether the line fails once that reply is used up (bit 1).
// An empty queue costs a read its whole time-out in virtual time.
class FuzzPort final : public SerialPort {
public:
    FuzzPort(sim::VirtualClock& clock, const uint8_t* data, size_t size, bool perWrite,
             bool failWhenDrained)
        : clock_(clock), input_(data, data + size), perWrite_(perWrite) {
        if (!perWrite_) arrive(input_.size(), failWhenDrained);
    }

    bool getTimeouts(SerialTimeouts& out) override {
        out = timeouts_;
        return true;
    }
    bool setTimeouts(const SerialTimeouts& t) override {
        timeouts_ = t;
        return true;
    }
    bool getLineSettings(LineSettings& out) override {
        out = line_;
        return true;
    }
    bool setLineSettings(const LineSettings& s) override {
        line_ = s;
        return true;
    }
    bool setRts(bool) override { return true; }
    bool getModemStatus(uint32_t& status) override {
        status = kModemCts;
        return true;
    }
    bool setEventMask(uint32_t) override { return true; }
    bool inputQueueLength(uint32_t& count) override {
        count = static_cast<uint32_t>(queue_.size());
        replyOpen_ = false;
        return true;
    }
    IoResult read(uint8_t* buffer, size_t count) override;
    IoResult write(const uint8_t*, size_t count) override;
    void abort() override {}

    int writes = 0;
    bool anyReadFailed = false;
    // The read calls after the latest write, up to the next look at the input queue: what
    // the host took as the reply to that write.
    std::vector<ReadCall> replyReads;
    std::vector<uint8_t> replyBytes() const;
    int emptyReplyReads() const;
    // The replies of the writes before the latest, and the most reads of any reply that
    // brought nothing.
    std::vector<std::vector<uint8_t>> earlierReplies;
    int mostEmptyReplyReads() const { return std::max(mostEmptyEarlier_, emptyReplyReads()); }

private:
    void arrive(size_t size, bool failAfter);

    sim::VirtualClock& clock_;
    std::vector<uint8_t> input_;
    size_t used_ = 0;
    bool perWrite_;
    std::deque<uint8_t> queue_;
    bool failWhenEmpty_ = false;
    bool replyOpen_ = false;
    int mostEmptyEarlier_ = 0;
    SerialTimeouts timeouts_{};
    LineSettings line_{};
};

inline void FuzzPort::arrive(size_t size, bool failAfter) {
    size = std::min(size, input_.size() - used_);
    queue_.insert(queue_.end(), input_.begin() + static_cast<long>(used_),
                  input_.begin() + static_cast<long>(used_ + size));
    used_ += size;
    failWhenEmpty_ = failAfter;
}

inline IoResult FuzzPort::read(uint8_t* buffer, size_t count) {
    size_t got = 0;
    while (got < count && !queue_.empty()) {
        buffer[got++] = queue_.front();
        queue_.pop_front();
    }
    const bool ok = got == count || !failWhenEmpty_;
    if (!ok) anyReadFailed = true;
    if (got < count && ok) {
        clock_.sleepMs(int64_t{timeouts_.readTotalMultiplier} * static_cast<int64_t>(count) +
                       timeouts_.readTotalConstant);
    }
    if (replyOpen_) replyReads.push_back({ok, std::vector<uint8_t>(buffer, buffer + got)});
    return {ok, got};
}

inline IoResult FuzzPort::write(const uint8_t*, size_t count) {
    if (writes++ > 0) {
        earlierReplies.push_back(replyBytes());
        mostEmptyEarlier_ = std::max(mostEmptyEarlier_, emptyReplyReads());
    }
    replyReads.clear();
    replyOpen_ = true;
    if (perWrite_ && used_ + 2 <= input_.size()) {
        const uint8_t low = input_[used_];
        const uint8_t high = input_[used_ + 1];
        used_ += 2;
        arrive(size_t{low} | size_t{high & 1u} << 8, (high & 2u) != 0);
    }
    return {true, count};
}

inline std::vector<uint8_t> FuzzPort::replyBytes() const {
    std::vector<uint8_t> bytes;
    for (const auto& call : replyReads)
        bytes.insert(bytes.end(), call.bytes.begin(), call.bytes.end());
    return bytes;
}

inline int FuzzPort::emptyReplyReads() const {
    int empty = 0;
    for (const auto& call : replyReads) empty += call.ok && call.bytes.empty();
    return empty;
}

// Hands out the one fuzz port, once.
class FuzzOpener final : public SerialPortOpener {
public:
    explicit FuzzOpener(std::unique_ptr<FuzzPort> port) : port_(std::move(port)) {}
    std::unique_ptr<SerialPort> open(const std::u16string&) override { return std::move(port_); }

private:
    std::unique_ptr<FuzzPort> port_;
};

// A link opened on a fuzz port, in virtual time.
struct FuzzLink {
    FuzzLink(const uint8_t* data, size_t size, bool perWrite, bool failWhenDrained = false) {
        auto owned = std::make_unique<FuzzPort>(clock, data, size, perWrite, failWhenDrained);
        port = owned.get();
        opener = std::make_unique<FuzzOpener>(std::move(owned));
        link = std::make_unique<ScanEngineLink>(clock, *opener);
        require(link->openPort(u"COM3:") == 1);
    }

    sim::VirtualClock clock;
    FuzzPort* port = nullptr;
    std::unique_ptr<FuzzOpener> opener;
    std::unique_ptr<ScanEngineLink> link;
};

// The engine's checksum, computed apart from the link's own.
inline bool wholeGoodPacket(const std::vector<uint8_t>& bytes, uint8_t opcode) {
    if (bytes.empty() || bytes[0] < 4 || bytes.size() != bytes[0] + 2u) return false;
    unsigned sum = 0;
    for (size_t i = 0; i < bytes[0]; ++i) sum += bytes[i];
    const unsigned stored = unsigned{bytes[bytes[0]]} << 8 | bytes[bytes[0] + 1u];
    return stored == ((0x10000u - (sum & 0xFFFFu)) & 0xFFFFu) && bytes[1] == opcode;
}

}  // namespace qm::fuzz
