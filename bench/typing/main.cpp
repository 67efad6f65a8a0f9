// How long a 250-byte decode takes to reach a terminal through the XTest keyboard, beside
// a general-purpose typing tool on the same server, and whether a long run loses or
// reorders anything. Run by hand: bench-typing [layout [decodes]]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "platform/linux/XTestKeyboard.h"
#include "tests/e2e/XtermUnderXvfb.h"
#include "wedge/KeystrokeSynthesis.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr size_t DecodeSize = 250;

std::string mixedText(std::mt19937& random) {
    std::uniform_int_distribution<int> printable(' ', '~');
    std::string text(DecodeSize, ' ');
    for (char& c : text) c = static_cast<char>(printable(random));
    return text;
}

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Arrival {
    double ms = 0;
    bool intact = false;
};

// Starts the typing, then polls until the terminal has written every byte of it.
template <typename Type>
Arrival typeAndWait(qm::e2e::XtermUnderXvfb& session, const std::string& text, Type type) {
    const size_t before = qm::e2e::readFile(session.output()).size();
    const auto start = Clock::now();
    type();
    const bool arrived =
        qm::e2e::waitForFileSize(session.output(), before + text.size(), std::chrono::seconds(30));
    const double ms = msSince(start);
    return {ms, arrived && qm::e2e::readFile(session.output()).substr(before) == text};
}

void typeThroughWedge(qm::Keyboard& keyboard, const std::string& text) {
    qm::typeDecodedData(keyboard, reinterpret_cast<const uint8_t*>(text.data()),
                        static_cast<int>(text.size()));
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(p * static_cast<double>(values.size() - 1))];
}

}  // namespace

int main(int argc, char** argv) {
    const std::string layout = argc > 1 ? argv[1] : "us";
    const int decodes = argc > 2 ? std::atoi(argv[2]) : 1000;
    if (!qm::e2e::XtermUnderXvfb::available()) {
        std::puts("needs Xvfb, xterm, xdotool and setxkbmap");
        return 2;
    }
    qm::e2e::XtermUnderXvfb session;
    if (!session.start() || !session.setLayout(layout)) {
        std::puts("could not start Xvfb with a focused xterm");
        return 1;
    }
    auto keyboard = qm::linux_platform::XTestKeyboard::open(session.display().c_str());
    if (!keyboard) return 1;

    std::mt19937 random(20240611);
    const std::string text = mixedText(random);
    std::printf("layout %s, %zu mixed printable characters per decode\n\n", layout.c_str(),
                DecodeSize);

    const Arrival wedge = typeAndWait(session, text, [&] { typeThroughWedge(*keyboard, text); });
    const auto textFile = session.scratch() / "text";
    { std::ofstream(textFile, std::ios::binary) << text; }
    const Arrival tool = typeAndWait(session, text, [&] {
        qm::e2e::run(session.withDisplay("xdotool type --file " + qm::e2e::quoted(textFile)));
    });
    std::printf("one decode until its last character arrived\n");
    std::printf("  XTest keyboard         %9.2f ms  %s\n", wedge.ms,
                wedge.intact ? "intact" : "DAMAGED");
    std::printf("  xdotool type (default) %9.2f ms  %s\n\n", tool.ms,
                tool.intact ? "intact" : "DAMAGED");

    std::vector<double> times;
    int mismatches = 0;
    for (int i = 0; i < decodes; ++i) {
        const std::string next = mixedText(random);
        const Arrival a = typeAndWait(session, next, [&] { typeThroughWedge(*keyboard, next); });
        times.push_back(a.ms);
        if (!a.intact) ++mismatches;
    }
    if (times.empty()) return 0;
    double total = 0;
    for (double t : times) total += t;
    std::printf("%d decodes through the XTest keyboard\n", decodes);
    std::printf("  per decode: mean %.2f ms, median %.2f ms, p99 %.2f ms, max %.2f ms\n",
                total / static_cast<double>(times.size()), percentile(times, 0.5),
                percentile(times, 0.99), percentile(times, 1.0));
    std::printf("  decodes with a lost, extra or reordered character: %d\n", mismatches);
    return mismatches == 0 ? 0 : 1;
}
