#pragma once

#include <QWidget>
#include <functional>

#include "ui/ControlHandlers.h"
#include "ui/ControlLookup.h"

namespace qm {
struct ProcessState;
class StatusLine;
}  // namespace qm

namespace qm::ui {

struct UiServices;

// A page of the setup dialog built from its template, with what its handlers work on.
class SetupPage : public QWidget {
public:
    SetupPage(int templateId, ProcessState& state, StatusLine* status, UiServices& services,
              QWidget* parent);

protected:
    template <typename Widget>
    Widget* item(int id) const {
        return controlAs<Widget>(this, id);
    }
    // Talks to the engine beside the repainting window; input waits until it is done.
    void runEngineWork(const std::function<void()>& work);
    void showMessage(const QString& text, const QString& caption);
    // Connects `signal` of `sender` to `handler`, run as a control handler (ui/ControlHandlers.h).
    template <typename Sender, typename Signal>
    void onEvent(Sender* sender, Signal signal, std::function<void()> handler) {
        QObject::connect(sender, signal, this, [sender, handler] { runHandler(sender, handler); });
    }

    ProcessState& state_;
    StatusLine* status_;
    UiServices& services_;
};

}  // namespace qm::ui
