#pragma once

#include <QWidget>
#include <functional>

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

    ProcessState& state_;
    StatusLine* status_;
    UiServices& services_;
};

}  // namespace qm::ui
