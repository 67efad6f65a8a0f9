#pragma once

#include <QApplication>
#include <memory>

namespace qm::app {

// The application on the desktop's display. Where there is none to open, the program ends
// here with status 1 and one line on standard error saying so, not with Qt's abort and its
// list of platform plugins.
std::unique_ptr<QApplication> openDisplay(int& argc, char** argv);

}  // namespace qm::app
