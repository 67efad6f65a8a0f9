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

// Message boxes recorded instead of shown: nobody is there to close them. A box that offers
// a choice beside OK is answered with `chooseOffered`.
class RecordingBoxes : public ui::MessageBoxes {
public:
    void showMessage(QWidget*, const QString& text, const QString& caption, ui::BoxIcon) override {
        shown.push_back({text, caption});
    }
    bool offerChoice(QWidget*, const QString& text, const QString& caption, const QString& choice,
                     ui::BoxIcon) override {
        shown.push_back({text, caption});
        offered.push_back(choice);
        return chooseOffered;
    }
    std::vector<ShownBox> shown;
    std::vector<QString> offered;
    bool chooseOffered = false;
};

}  // namespace qm::test
