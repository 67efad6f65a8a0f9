// 250-byte decodes typed into a terminal under Xvfb by the XTest keyboard and, turn about,
// by a bare XTest loop, on each layout in one run on one server: how long until the call
// returns (the server has taken every event) and until the last character has arrived,
// the ratio of the two typists, and whether any character was lost, extra or reordered.
// Run by hand: bench-typing [decodes [layout...]]   (1000 decodes, us and de)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "bench/common/MixedText.h"
#include "bench/common/Samples.h"
#include "bench/common/TextDamage.h"
#include "platform/linux/BareXTestLoop.h"
#include "platform/linux/XTestKeyboard.h"
#include "tests/e2e/XtermUnderXvfb.h"
#include "wedge/KeystrokeSynthesis.h"

namespace {

using Clock = std::chrono::steady_clock;
using qm::bench::mixedText;
using qm::bench::msSince;
using qm::bench::Samples;
using qm::bench::TextDamage;
constexpr size_t DecodeSize = 250;

// What the terminal has written, taken in turn: each decode gets whatever arrived after the
// one before it, so a character arriving late counts against the next.
class TerminalOutput {
public:
    explicit TerminalOutput(const qm::e2e::XtermUnderXvfb& session)
        : file_(session.output()), taken_(qm::e2e::readFile(file_).size()) {}

    bool waitFor(size_t size, std::chrono::milliseconds patience) const {
        return qm::e2e::waitForFileSize(file_, taken_ + size, patience);
    }
    std::string take() {
        std::string rest = qm::e2e::readFile(file_).substr(taken_);
        taken_ += rest.size();
        return rest;
    }

private:
    std::filesystem::path file_;
    size_t taken_;
};

struct Typist {
    Typist(const char* n, std::function<void(const std::string&)> t)
        : name(n), type(std::move(t)) {}

    const char* name;
    std::function<void(const std::string&)> type;
    Samples call, arrival;
    TextDamage damage;
    int damagedDecodes = 0;
};

void typeOnce(Typist& typist, TerminalOutput& terminal, const std::string& text) {
    const auto start = Clock::now();
    typist.type(text);
    typist.call.add(msSince(start));
    terminal.waitFor(text.size(), std::chrono::seconds(10));
    typist.arrival.add(msSince(start));
    const TextDamage damage = qm::bench::compareTexts(text, terminal.take());
    typist.damage += damage;
    if (!damage.none()) ++typist.damagedDecodes;
}

void printTypist(const Typist& t) {
    std::printf("  %-16s %8.2f %8.2f %10.2f %8.2f %8.2f\n", t.name, t.call.mean(),
                t.call.percentile(0.5), t.arrival.mean(), t.arrival.percentile(0.5),
                t.arrival.percentile(0.99));
}

void printDamage(const Typist& t) {
    std::printf("  %-16s lost %zu, extra %zu, reordered %zu characters (%d decodes damaged)\n",
                t.name, t.damage.lost, t.damage.extra, t.damage.reordered, t.damagedDecodes);
}

void printComparison(const Typist& keyboard, const Typist& bare) {
    std::printf("  %-16s %8s %8s %10s %8s %8s   ms per decode\n", "", "call", "", "arrival", "",
                "");
    std::printf("  %-16s %8s %8s %10s %8s %8s\n", "", "mean", "median", "mean", "median", "p99");
    printTypist(keyboard);
    printTypist(bare);
    std::printf("  %-16s %8.3f %8.3f %10.3f %8.3f            (target <= 1.10)\n", "ratio",
                keyboard.call.mean() / bare.call.mean(),
                keyboard.call.percentile(0.5) / bare.call.percentile(0.5),
                keyboard.arrival.mean() / bare.arrival.mean(),
                keyboard.arrival.percentile(0.5) / bare.arrival.percentile(0.5));
    printDamage(keyboard);
    printDamage(bare);
}

// Anything still arriving once every decode has been taken is in excess.
size_t lateArrivals(TerminalOutput& terminal) {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    return terminal.take().size();
}

// Both typists on one layout, turn about and each first on alternate rounds, so a drift of
// the server or the terminal falls on both alike. True when nothing was damaged.
bool runLayout(qm::e2e::XtermUnderXvfb& session, qm::Keyboard& keyboard, const std::string& layout,
               int decodes, std::mt19937& random) {
    if (!session.setLayout(layout)) {
        std::printf("layout %s: setxkbmap failed\n", layout.c_str());
        return false;
    }
    TerminalOutput terminal(session);
    Typist ours{"XTest keyboard", [&](const std::string& text) {
                    qm::typeDecodedData(keyboard, reinterpret_cast<const uint8_t*>(text.data()),
                                        static_cast<int>(text.size()));
                }};
    // The keyboard goes first, so what it borrows for missing characters is in the layout
    // the bare loop reads.
    typeOnce(ours, terminal, mixedText(random, DecodeSize));
    auto loop = qm::linux_platform::BareXTestLoop::open(session.display().c_str());
    if (!loop) return false;
    Typist bare{"bare XTest loop", [&](const std::string& text) { loop->type(text); }};
    typeOnce(bare, terminal, mixedText(random, DecodeSize));
    // The warm-up decodes are checked, not timed.
    for (Typist* t : {&ours, &bare}) t->call = t->arrival = {};

    for (int i = 0; i < decodes; ++i) {
        Typist& first = i % 2 ? bare : ours;
        Typist& second = i % 2 ? ours : bare;
        typeOnce(first, terminal, mixedText(random, DecodeSize));
        typeOnce(second, terminal, mixedText(random, DecodeSize));
    }
    const size_t late = lateArrivals(terminal);
    std::printf("layout %s: %d decodes each of %zu mixed printable characters\n", layout.c_str(),
                decodes, DecodeSize);
    printComparison(ours, bare);
    std::printf("  characters arriving after the last decode: %zu\n\n", late);
    return ours.damage.none() && bare.damage.none() && late == 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int decodes = argc > 1 ? std::atoi(argv[1]) : 1000;
    std::vector<std::string> layouts(argv + std::min(argc, 2), argv + argc);
    if (layouts.empty()) layouts = {"us", "de"};
    if (!qm::e2e::XtermUnderXvfb::available()) {
        std::puts("needs Xvfb, xterm, xdotool and setxkbmap");
        return 2;
    }
    qm::e2e::XtermUnderXvfb session;
    if (!session.start()) {
        std::puts("could not start Xvfb with a focused xterm");
        return 1;
    }
    auto keyboard = qm::linux_platform::XTestKeyboard::open(session.display().c_str());
    if (!keyboard) return 1;

    std::mt19937 random(20240611);
    bool intact = true;
    for (const std::string& layout : layouts)
        intact = runLayout(session, *keyboard, layout, decodes, random) && intact;
    return intact ? 0 : 1;
}
