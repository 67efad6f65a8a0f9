#include "ui/ProgramLog.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>
#include <string>

namespace qm::ui {

void logFailure(std::ostream* log, std::string_view text) {
    if (log == nullptr) return;
    std::string line(text);
    std::replace(line.begin(), line.end(), '\n', ' ');
    *log << QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString() << ": "
         << line << "\n";
}

}  // namespace qm::ui
