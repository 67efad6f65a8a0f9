// One table of read time-outs, and of reads a wake-up cuts short, that both serial backends
// must keep: the simulated line exactly, in virtual time, and termios on a pseudo-terminal
// within a margin, in real time.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/LinuxSerialPortOpener.h"
#include "platform/linux/PseudoTerminal.h"
#include "platform/sim/SimSerialPort.h"
#include "platform/sim/VirtualClock.h"

namespace qm {
namespace {

using Bytes = std::vector<uint8_t>;
using SteadyClock = std::chrono::steady_clock;

constexpr int kWaiting = -1;  // in the input queue before the read starts
constexpr int kNoCut = -1;    // a plain read()

struct Chunk {
    int atMs;  // when the far end has sent all of it, from the start of the read
    Bytes bytes;
};

struct ReadCase {
    const char* what;
    SerialTimeouts timeouts;
    std::vector<Chunk> farEnd;
    size_t asked;
    size_t expected;  // the first bytes the far end sent
    int elapsedMs;
    // readUnless(): its wake-up raised then, and its test holding from then on or not.
    int cutAtMs = kNoCut;
    bool cutHolds = false;
};

SerialTimeouts reads(uint32_t interval, uint32_t multiplier, uint32_t constant) {
    return {interval, multiplier, constant, 0, 0};
}

// clang-format off
const ReadCase kReadCases[] = {
    {"total constant, nothing arrives", reads(0, 0, 200), {}, 4, 0, 200},
    {"total multiplier per byte asked", reads(0, 50, 0), {}, 4, 0, 200},
    {"partial read ends at the total", reads(0, 0, 200), {{0, {1, 2, 3}}}, 10, 3, 200},
    {"all bytes at hand return at once", reads(0, 0, 3000), {{kWaiting, {1, 2, 3, 4, 5}}}, 5, 5, 0},
    {"interval ends a read after a pause", reads(50, 0, 0),
     {{0, {1, 2, 3}}, {1000, {4, 5, 6}}}, 10, 3, 50},
    {"interval does not limit the first byte", reads(30, 0, 0), {{300, {1, 2, 3, 4}}}, 4, 4, 300},
    {"interval restarts with every byte", reads(350, 0, 5000),
     {{0, {1}}, {200, {2}}, {400, {3}}, {600, {4}}}, 4, 4, 600},
    {"total wins over a steady trickle", reads(300, 0, 250),
     {{0, {1}}, {100, {2}}, {200, {3}}, {900, {4}}}, 4, 3, 250},
    {"interval never, no total: what is waiting", reads(kReadIntervalNever, 0, 0),
     {{kWaiting, {1, 2, 3}}, {1000, {4}}}, 10, 3, 0},
    {"interval never, no total: nothing waiting", reads(kReadIntervalNever, 0, 0),
     {{1000, {1}}}, 4, 0, 0},
    {"interval never under a total limits nothing", reads(kReadIntervalNever, 0, 200),
     {{0, {1}}, {100, {2}}}, 4, 2, 200},
    {"a cut ends the wait for the first byte", reads(0, 0, 300), {}, 1, 0, 150, 150, true},
    {"a raise that does not cut changes nothing", reads(0, 0, 300), {}, 1, 0, 300, 150, false},
    {"what is waiting is read even when cut", reads(0, 0, 300), {{kWaiting, {7}}}, 1, 1, 0, 0,
     true},
    {"a read that has its first byte is not cut", reads(0, 0, 300), {{100, {1}}, {250, {2}}}, 2,
     2, 250, 150, true},
};
// clang-format on

Bytes expectedBytes(const ReadCase& c) {
    Bytes sent;
    for (const Chunk& chunk : c.farEnd)
        sent.insert(sent.end(), chunk.bytes.begin(), chunk.bytes.end());
    sent.resize(c.expected);
    return sent;
}

// A cut raises `wake` and sets `cut` to what the case says.
Bytes readFrom(SerialPort& port, const ReadCase& c, Wakeup& wake, const std::atomic<bool>& cut) {
    Bytes buffer(c.asked);
    const IoResult r = c.cutAtMs == kNoCut ? port.read(buffer.data(), buffer.size())
                                           : port.readUnless(buffer.data(), buffer.size(), wake,
                                                             [&cut] { return cut.load(); });
    EXPECT_TRUE(r.ok);
    buffer.resize(r.count);
    return buffer;
}

TEST(SerialPortContract, SimulatedLineKeepsEveryRuleExactly) {
    constexpr int64_t kStart = 1'000'000;  // room before it for bytes already waiting
    for (const ReadCase& c : kReadCases) {
        SCOPED_TRACE(c.what);
        sim::VirtualClock clock;
        sim::SimEngine engine;
        sim::SimSerialPortOpener opener(clock, engine);
        auto port = opener.open(u"COM3:");
        ASSERT_NE(port, nullptr);
        ASSERT_TRUE(port->setTimeouts(c.timeouts));
        // Each chunk is on the wire byte after byte and complete at its moment.
        for (const Chunk& chunk : c.farEnd) {
            const int64_t wire = int64_t(chunk.bytes.size()) * sim::SimEngine::kByteMicros;
            const int64_t done = kStart + std::max(chunk.atMs, 0) * int64_t{1000};
            engine.sendRaw(chunk.bytes, clock.nowMicros(), done - wire);
        }
        Wakeup wake;
        std::atomic<bool> cut{false};
        if (c.cutAtMs != kNoCut) {
            clock.at(kStart + c.cutAtMs * int64_t{1000}, [&] {
                cut = c.cutHolds;
                wake.raise();
            });
        }
        clock.advanceMicros(kStart);
        EXPECT_EQ(readFrom(*port, c, wake, cut), expectedBytes(c));
        EXPECT_EQ(clock.nowMicros() - kStart, c.elapsedMs * int64_t{1000});
    }
}

// Real time on a shared machine: never early, and late by less than any case could hide.
constexpr auto kEarly = std::chrono::milliseconds(20);
constexpr auto kLate = std::chrono::milliseconds(400);

std::unique_ptr<SerialPort> openPortOn(const linux_platform::PseudoTerminal& pty) {
    auto port =
        linux_platform::LinuxSerialPortOpener::forDevicePath(pty.slavePath()).open(u"COM3:");
    LineSettings line{
        .baudRate = 9600, .dtrControl = LineControl::Enable, .rtsControl = LineControl::Enable};
    if (port && !port->setLineSettings(line)) port.reset();
    return port;
}

// A pseudo-terminal hands written bytes to the other side a moment later.
bool waitUntilQueued(SerialPort& port, size_t count) {
    const auto deadline = SteadyClock::now() + std::chrono::seconds(2);
    uint32_t queued = 0;
    while (port.inputQueueLength(queued) && queued < count) {
        if (SteadyClock::now() > deadline) return false;
        std::this_thread::yield();
    }
    return queued >= count;
}

TEST(SerialPortContract, TermiosOnAPseudoTerminalKeepsEveryRuleWithinAMargin) {
    for (const ReadCase& c : kReadCases) {
        SCOPED_TRACE(c.what);
        std::string error;
        auto pty = linux_platform::PseudoTerminal::open(error);
        ASSERT_NE(pty, nullptr) << error;
        auto port = openPortOn(*pty);
        ASSERT_NE(port, nullptr);
        ASSERT_TRUE(port->setTimeouts(c.timeouts));
        size_t waiting = 0;
        for (const Chunk& chunk : c.farEnd) {
            if (chunk.atMs != kWaiting) continue;
            ASSERT_TRUE(pty->write(chunk.bytes.data(), chunk.bytes.size()).ok);
            waiting += chunk.bytes.size();
        }
        ASSERT_TRUE(waitUntilQueued(*port, waiting));

        Wakeup wake;
        std::atomic<bool> cut{false};
        const auto start = SteadyClock::now();
        std::thread farEnd([&] {
            for (const Chunk& chunk : c.farEnd) {
                if (chunk.atMs == kWaiting) continue;
                std::this_thread::sleep_until(start + std::chrono::milliseconds(chunk.atMs));
                pty->write(chunk.bytes.data(), chunk.bytes.size());
            }
        });
        std::thread cutter([&] {
            if (c.cutAtMs == kNoCut) return;
            std::this_thread::sleep_until(start + std::chrono::milliseconds(c.cutAtMs));
            cut = c.cutHolds;
            wake.raise();
        });
        const Bytes got = readFrom(*port, c, wake, cut);
        const auto elapsed = SteadyClock::now() - start;
        farEnd.join();
        cutter.join();

        EXPECT_EQ(got, expectedBytes(c));
        EXPECT_GE(elapsed, std::chrono::milliseconds(c.elapsedMs) - kEarly);
        EXPECT_LE(elapsed, std::chrono::milliseconds(c.elapsedMs) + kLate);
    }
}

}  // namespace
}  // namespace qm
