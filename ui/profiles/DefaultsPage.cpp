#include "ui/profiles/DefaultsPage.h"

#include <QComboBox>
#include <QPushButton>
#include <string>

#include "session/ProfileCommands.h"
#include "session/ProfileNames.h"
#include "state/ProcessState.h"
#include "ui/ControlLookup.h"
#include "ui/profiles/SetupProfileObserver.h"

namespace qm::ui {

namespace {

constexpr int kProfileList = 1055;
constexpr int kSave = 1051;
constexpr int kLoad = 1052;

const QString kFactoryDefaults =
    QString::fromUtf8(kFactoryDefaultsName.data(), qsizetype(kFactoryDefaultsName.size()));

}  // namespace

DefaultsPageBehaviour::DefaultsPageBehaviour(QWidget* page, ProcessState& state,
                                             UiServices& services, SetupPageHooks hooks)
    : QObject(page),
      page_(page),
      state_(state),
      services_(services),
      hooks_(std::move(hooks)),
      list_(controlAs<QComboBox>(page, kProfileList)),
      save_(controlAs<QPushButton>(page, kSave)) {
    if (list_)
        connect(list_, &QComboBox::currentTextChanged, this,
                &DefaultsPageBehaviour::showSaveForSelection);
    if (save_) connect(save_, &QPushButton::clicked, this, &DefaultsPageBehaviour::save);
    if (auto* loadButton = controlAs<QPushButton>(page, kLoad))
        connect(loadButton, &QPushButton::clicked, this, &DefaultsPageBehaviour::load);
}

void DefaultsPageBehaviour::open() { showSelection(kFactoryDefaults); }

QString DefaultsPageBehaviour::selectedName() const {
    return list_ ? list_->currentText() : QString();
}

// Factory defaults are the technician's to overwrite.
void DefaultsPageBehaviour::showSaveForSelection() {
    if (!save_) return;
    save_->setVisible(selectedName() != kFactoryDefaults || state_.ServiceMode.load() != 0);
}

void DefaultsPageBehaviour::showSelection(const QString& name) {
    if (list_) list_->setCurrentText(name);
    showSaveForSelection();
}

void DefaultsPageBehaviour::save() {
    SetupProfileObserver observer(page_->window(), services_, hooks_, {});
    saveProfile(state_, observer, selectedName().toStdString());
}

// The selection as it was when "Load" was pressed survives the refresh of every page.
void DefaultsPageBehaviour::load() {
    const QString selected = selectedName();
    SetupProfileObserver observer(page_->window(), services_, hooks_,
                                  [this, selected] { showSelection(selected); });
    loadProfile(state_, observer, selected.toStdString());
}

DefaultsPageBehaviour* attachDefaultsPage(QWidget* page, ProcessState& state, UiServices& services,
                                          SetupPageHooks hooks) {
    auto* behaviour = new DefaultsPageBehaviour(page, state, services, std::move(hooks));
    behaviour->open();
    return behaviour;
}

}  // namespace qm::ui
