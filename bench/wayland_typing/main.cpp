// 250-byte decodes typed into foot in a headless sway, turn about, by the Wayland virtual
// keyboard, by a bare virtual-keyboard loop (the floor) and by wtype: how long from the
// start of typing until the last character is in foot's file, the ratios, and whether any
// character was lost, extra or reordered.
// Run by hand: bench-wayland-typing [decodes [layout]]   (200 decodes, us)

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
#include "platform/linux/BareVirtualKeyboardLoop.h"
#include "platform/linux/WaylandVirtualKeyboard.h"
#include "tests/e2e/SwayHeadless.h"
#include "wedge/KeystrokeSynthesis.h"

namespace {

using Clock = std::chrono::steady_clock;
using qm::bench::mixedText;
using qm::bench::msSince;
using qm::bench::Samples;
using qm::bench::TextDamage;
using Receiver = qm::e2e::SwayHeadless::Receiver;
constexpr size_t DecodeSize = 250;

std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

struct Typist {
    Typist(const char* n, std::function<void(const std::string&)> t)
        : name(n), type(std::move(t)) {}

    const char* name;
    std::function<void(const std::string&)> type;
    Samples arrival;
    TextDamage damage;
    int damagedDecodes = 0;
};

// Each decode gets whatever arrived after the one before it, so a late character counts
// against the next.
class FootOutput {
public:
    explicit FootOutput(const qm::e2e::SwayHeadless& session)
        : file_(session.output(Receiver::Foot)), taken_(qm::e2e::readFile(file_).size()) {}
    bool waitFor(size_t size) const {
        return qm::e2e::waitForFileSize(file_, taken_ + size, std::chrono::seconds(5));
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

void typeOnce(Typist& typist, FootOutput& foot, const std::string& text) {
    const auto start = Clock::now();
    typist.type(text);
    foot.waitFor(text.size());
    typist.arrival.add(msSince(start));
    const TextDamage damage = qm::bench::compareTexts(text, foot.take());
    typist.damage += damage;
    if (!damage.none()) ++typist.damagedDecodes;
}

void print(const Typist& t, const Typist& floor) {
    std::printf(
        "  %-24s %8.2f %8.2f %8.2f %8.3f   lost %zu, extra %zu, reordered %zu (%d decodes)\n",
        t.name, t.arrival.percentile(0.5), t.arrival.mean(), t.arrival.percentile(0.99),
        t.arrival.percentile(0.5) / floor.arrival.percentile(0.5), t.damage.lost, t.damage.extra,
        t.damage.reordered, t.damagedDecodes);
}

}  // namespace

int main(int argc, char** argv) {
    const int decodes = argc > 1 ? std::atoi(argv[1]) : 200;
    const std::string layout = argc > 2 ? argv[2] : "us";
    if (!qm::e2e::SwayHeadless::available()) {
        std::puts("needs sway, foot, xterm, Xwayland, xhost, xdotool, xprop and setpriv");
        return 2;
    }
    qm::e2e::SwayHeadless session;
    if (!session.start()) return 1;
    auto floorLoop =
        qm::linux_platform::BareVirtualKeyboardLoop::open(session.waylandDisplay().c_str());
    if (!floorLoop || !session.startReceiver(Receiver::Foot) || !session.setLayout(layout))
        return 1;
    auto keyboard =
        qm::linux_platform::WaylandVirtualKeyboard::open(session.waylandDisplay().c_str());
    if (!keyboard) return 1;
    const bool withWtype = qm::e2e::programAvailable("wtype");

    std::vector<Typist> typists;
    typists.push_back({"virtual keyboard", [&](const std::string& text) {
                           qm::typeDecodedData(*keyboard,
                                               reinterpret_cast<const uint8_t*>(text.data()),
                                               static_cast<int>(text.size()));
                           keyboard->flush();
                       }});
    typists.push_back({"bare loop (floor)", [&](const std::string& t) { floorLoop->type(t); }});
    if (withWtype)
        typists.push_back({"wtype", [&](const std::string& text) {
                               qm::e2e::run(session.withWayland("wtype -- " + shellQuoted(text)));
                           }});

    std::mt19937 random(20240611);
    FootOutput foot(session);
    for (Typist& t : typists)
        typeOnce(t, foot, mixedText(random, DecodeSize));  // warm-up, not timed
    for (Typist& t : typists) t.arrival = {};
    for (int i = 0; i < decodes; ++i)
        for (size_t k = 0; k < typists.size(); ++k)
            typeOnce(typists[(k + static_cast<size_t>(i)) % typists.size()], foot,
                     mixedText(random, DecodeSize));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const size_t late = foot.take().size();

    std::printf("layout %s: %d decodes each of %zu mixed printable characters into foot\n",
                layout.c_str(), decodes, DecodeSize);
    std::printf("  %-24s %8s %8s %8s %8s   ms from the start of typing to the last byte\n", "",
                "median", "mean", "p99", "/floor");
    for (const Typist& t : typists) print(t, typists[1]);
    std::printf("  characters arriving after the last decode: %zu\n", late);
    std::printf("  target: virtual keyboard within 1.2x the floor and no slower than wtype\n");
    bool intact = late == 0;
    for (const Typist& t : typists) intact = intact && (t.damage.none() || t.name[0] == 'w');
    return intact ? 0 : 1;
}
