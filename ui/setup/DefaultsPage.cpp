#include "ui/setup/DefaultsPage.h"

#include <QComboBox>
#include <QPushButton>

#include "session/ProfileCommands.h"
#include "session/ProfileNames.h"

namespace qm::ui {

namespace {
constexpr int kTemplate = 142;
constexpr int kProfiles = 1055;
constexpr int kSave = 1051;
constexpr int kLoad = 1052;
const QString kFactoryDefaults =
    QString::fromUtf8(kFactoryDefaultsName.data(), qsizetype(kFactoryDefaultsName.size()));
}  // namespace

CDefaultsPage::CDefaultsPage(ProcessState& state, StatusLine* status, UiServices& services,
                             QWidget* parent)
    : SetupPage(kTemplate, state, status, services, parent) {
    auto* profiles = item<QComboBox>(kProfiles);
    profiles->setCurrentIndex(profiles->findText(kFactoryDefaults));
    QObject::connect(profiles, &QComboBox::currentTextChanged, this,
                     [this] { updateSaveButton(); });
    onEvent(item<QPushButton>(kSave), &QPushButton::clicked, [this] {
        if (onSave) onSave();
    });
    onEvent(item<QPushButton>(kLoad), &QPushButton::clicked, [this] {
        if (onLoad) onLoad();
    });
    updateSaveButton();
}

QString CDefaultsPage::selectedProfileName() const {
    return item<QComboBox>(kProfiles)->currentText();
}

void CDefaultsPage::updateSaveButton() {
    item<QWidget>(kSave)->setVisible(saveOffered(state_, selectedProfileName().toStdString()));
}

}  // namespace qm::ui
