#pragma once

#include <QDialog>
#include <memory>

namespace qm::ui {

// "Code Types requiring multiple reads:", the Scanner page's Help, closed by its "OK".
std::unique_ptr<QDialog> makeHelpDialog(QWidget* owner);

}  // namespace qm::ui
