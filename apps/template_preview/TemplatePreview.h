#pragma once

#include <QImage>
#include <QString>

namespace qm::template_preview {

// A picture of the template as built: a template with a tab control shows its pages as tabs,
// `page` (0-based) being the one selected. An empty picture and `error` when it cannot be built.
QImage previewTemplate(int id, int page, QString& error);

}  // namespace qm::template_preview
