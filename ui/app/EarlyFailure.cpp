#include "ui/app/EarlyFailure.h"

#include <QString>

#include "ui/MessageBoxes.h"
#include "ui/ProgramLog.h"

namespace qm::ui {

void showEarlyFailure(MessageBoxes& boxes, std::ostream* log, const std::string& reason) {
    logFailure(log, "cannot start: " + reason);
    boxes.showMessage(nullptr, "Quillmark cannot start: " + QString::fromStdString(reason) + ".",
                      QStringLiteral("Error"), BoxIcon::Error);
}

}  // namespace qm::ui
