#include "ui/app/EngineReconnect.h"

#include <QTimer>

#include "session/DeviceMonitor.h"
#include "session/Reconnection.h"
#include "state/ProcessState.h"
#include "ui/BusyWork.h"
#include "ui/GuiQueue.h"
#include "ui/UiServices.h"
#include "ui/app/QueuedProgress.h"

namespace qm::ui {

namespace {
// How soon a reconnection that found other engine work running looks again.
constexpr int kBusyRetryMs = 100;
}  // namespace

EngineReconnect::EngineReconnect(ProcessState& state, UiServices& services,
                                 QPointer<QWidget> progressParent,
                                 std::function<void(CProgressDlg&)> progressCreated)
    : state_(state),
      services_(services),
      progressParent_(std::move(progressParent)),
      progressCreated_(std::move(progressCreated)),
      monitor_(std::make_unique<DeviceMonitor>(state, [this] { deviceBack(); })) {}

// The monitor first: nothing asks for a reconnection once it is gone.
EngineReconnect::~EngineReconnect() { monitor_.reset(); }

void EngineReconnect::deviceBack() {
    if (requested_.exchange(true)) return;
    services_.queue.post([this, alive = std::weak_ptr<int>(alive_)] {
        if (alive.lock()) reconnect();
    });
}

void EngineReconnect::reconnect() {
    if (busyWorkRunning()) {
        QTimer::singleShot(kBusyRetryMs, this, [this] { reconnect(); });
        return;
    }
    // A device that comes back during this reconnection asks again; one that stays back finds
    // the link no longer gone.
    requested_ = false;
    if (!state_.link.deviceGone()) return;
    QueuedProgressFactory dialogs(services_.queue, progressParent_, progressCreated_);
    runWhileRepainting(nullptr, services_.queue, [&] { reconnectEngine(state_, dialogs); });
}

}  // namespace qm::ui
