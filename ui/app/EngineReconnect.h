#pragma once

#include <QObject>
#include <QPointer>
#include <atomic>
#include <functional>
#include <memory>

class QWidget;

namespace qm {
struct ProcessState;
class DeviceMonitor;
}  // namespace qm

namespace qm::ui {

struct UiServices;
class CProgressDlg;

// Brings the engine back when a device returns at its port's name: the port reopened and
// start-up's initialisation run again under its progress dialog, beside the GUI as start-up's
// is. One at a time, and never inside other engine work the GUI thread is waiting for.
class EngineReconnect : public QObject {
public:
    EngineReconnect(ProcessState& state, UiServices& services, QPointer<QWidget> progressParent,
                    std::function<void(CProgressDlg&)> progressCreated);
    ~EngineReconnect() override;

    // On the GUI thread: reopens and initialises now, if the device is still gone.
    void reconnect();

private:
    // From any thread: one reconnection asked of the GUI thread at a time.
    void deviceBack();

    ProcessState& state_;
    UiServices& services_;
    QPointer<QWidget> progressParent_;
    std::function<void(CProgressDlg&)> progressCreated_;
    std::atomic<bool> requested_{false};
    // What the GUI thread finds still there when a posted reconnection comes to run.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
    std::unique_ptr<DeviceMonitor> monitor_;
};

}  // namespace qm::ui
