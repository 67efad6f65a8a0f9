#pragma once

#include <QDir>
#include <QString>

#include "tests/TempFolder.h"

namespace qm::test {

// Where a test saves the pictures of what it built: QM_SCREENSHOT_DIR, to be looked at, or
// else `scratch`, which goes with the test. Never the working folder.
inline QString screenshotFolder(const TempFolder& scratch) {
    const QString chosen = qEnvironmentVariable("QM_SCREENSHOT_DIR");
    const QString folder =
        chosen.isEmpty() ? QString::fromStdString(scratch.path().string()) : chosen;
    QDir().mkpath(folder);
    return folder;
}

}  // namespace qm::test
