#include "ui/setup/SetupStatusLine.h"

#include "ui/GuiQueue.h"

namespace qm::ui {

SetupStatusLine::SetupStatusLine(QLineEdit* field, GuiQueue& queue)
    : field_(field), queue_(queue) {}

void SetupStatusLine::showStatus(std::string_view text) {
    const QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    queue_.runOnGui([field = field_, shown] {
        if (field) field->setText(shown);
    });
}

}  // namespace qm::ui
