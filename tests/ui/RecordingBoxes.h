#pragma once

#include <QString>
#include <vector>

#include "ui/MessageBoxes.h"

namespace qm::test {

struct ShownBox {
    QString text;
    QString caption;
    bool operator==(const ShownBox&) const = default;
};

// Message boxes recorded instead of shown: nobody is there to close them.
class RecordingBoxes : public ui::MessageBoxes {
public:
    void showMessage(QWidget*, const QString& text, const QString& caption, ui::BoxIcon) override {
        shown.push_back({text, caption});
    }
    std::vector<ShownBox> shown;
};

}  // namespace qm::test
