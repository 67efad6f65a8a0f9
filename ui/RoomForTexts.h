#pragma once

#include <QWidget>
#include <vector>

namespace qm::ui {

// Check boxes and drop-down lists whose text (a list's longest entry) the desktop's font
// makes wider than their rectangle widen to the right as far as the row lets them: up to
// the next control beside them, the inside of the group box around them, or the edge of
// `host`. `widgets` are the controls of a template just built into `host`.
void widenToTheirTexts(QWidget* host, const std::vector<QWidget*>& widgets);

}  // namespace qm::ui
