#pragma once

#include <QLineEdit>
#include <QPointer>

#include "session/StatusLine.h"

namespace qm::ui {

class GuiQueue;

// The setup dialog's status field as the setting changes see it. They may write from the
// thread that talks to the engine; the text reaches the field on the GUI thread.
class SetupStatusLine : public StatusLine {
public:
    SetupStatusLine(QLineEdit* field, GuiQueue& queue);

    void showStatus(std::string_view text) override;

private:
    QPointer<QLineEdit> field_;
    GuiQueue& queue_;
};

}  // namespace qm::ui
