#pragma once

#include <QObject>
#include <atomic>
#include <string>

namespace qm::ui {

// Whether decodes can reach the focused application and how trigger presses reach the wedge,
// for the main dialog's lines and anything else that shows it (a panel icon).
struct DeliveryStatus {
    bool canType = false;
    std::string typing;  // one sentence: the path decodes are typed through, or why there is none
    bool hasTriggers = false;
    std::string triggers;  // one sentence: where trigger presses come from, or that none do
    int lostDecodes = 0;   // decodes read since the start that reached no application
    bool operator==(const DeliveryStatus&) const = default;
};

// The current status, kept on the GUI thread; `changed` follows every real change.
class DeliveryStatusBoard : public QObject {
    Q_OBJECT
public:
    const DeliveryStatus& status() const { return status_; }

    // On the GUI thread.
    void set(const DeliveryStatus& status);
    // From any thread: one more decode typed nowhere.
    void decodeLost();

    // On the GUI thread: counts the decodes lost since the last call.
    Q_INVOKABLE void takeLostDecodes();

signals:
    void changed(const qm::ui::DeliveryStatus& status);

private:
    DeliveryStatus status_;
    std::atomic<int> lostUntold_{0};
};

}  // namespace qm::ui
