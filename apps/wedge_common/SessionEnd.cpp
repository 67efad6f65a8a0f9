#include "apps/wedge_common/SessionEnd.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/linux/EndRequests.h"
#include "platform/linux/X11ConnectionLoss.h"
#include "session/StartUp.h"

namespace qm::app {

namespace {

using linux_platform::EndRequests;

// Long enough for a scan cycle to end early and the engine to take AIM_OFF.
constexpr int64_t kExitHoldMs = 2500;

std::atomic<ProcessState*> guarded{nullptr};
std::string programName;  // written before the guard is armed

extern "C" void endBeforeExit() {
    ProcessState* state = guarded.exchange(nullptr);
    if (!state) return;
    const auto hold = stopEngineForExit(*state, kExitHoldMs);
    std::fprintf(stderr, "%s: the display went away; scanning stopped, the scanner left off\n",
                 programName.c_str());
    std::_Exit(0);
}

void tellDisplayLost() { EndRequests::request(linux_platform::kEndDisplayLost); }

}  // namespace

SessionEnd::SessionEnd(ProcessState& state, std::function<void()> endRequested)
    : endRequested_(std::move(endRequested)) {
    programName = QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString();
    linux_platform::setConnectionLossListener(tellDisplayLost);
    if (EndRequests::catchSignals()) {
        notifier_ = std::make_unique<QSocketNotifier>(EndRequests::readFd(), QSocketNotifier::Read);
        connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { takeRequests(); });
    }
    guarded = &state;
    guardExit();
}

SessionEnd::~SessionEnd() { disarm(); }

void SessionEnd::guardExit() { std::atexit(endBeforeExit); }

void SessionEnd::disarm() { guarded = nullptr; }

void SessionEnd::takeRequests() {
    const unsigned reasons = EndRequests::take();
    if (reasons == 0) return;
    if (reasons & linux_platform::kEndDisplayLost) displayLost_ = true;
    endRequested_();
}

}  // namespace qm::app
