#include "ui/setup/HelpDialog.h"

#include <QPushButton>

#include "ui/ControlLookup.h"
#include "ui/TemplateBuilder.h"
#include "ui/TemplateLoader.h"

namespace qm::ui {

namespace {
constexpr int kTemplate = 147;
constexpr int kOk = 1;
}  // namespace

std::unique_ptr<QDialog> makeHelpDialog(QWidget* owner) {
    auto help = std::make_unique<QDialog>(owner);
    buildInto(help.get(), requireTemplate(kTemplate));
    if (auto* ok = controlAs<QPushButton>(help.get(), kOk)) {
        ok->setDefault(true);
        QObject::connect(ok, &QPushButton::clicked, help.get(), &QDialog::accept);
    }
    return help;
}

}  // namespace qm::ui
