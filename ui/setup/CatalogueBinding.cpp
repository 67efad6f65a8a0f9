#include "ui/setup/CatalogueBinding.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QVariant>

#include "session/SettingChange.h"
#include "settings/ParameterCatalogue.h"
#include "settings/SettingsFields.h"
#include "state/ProcessState.h"
#include "ui/BusyWork.h"
#include "ui/ControlHandlers.h"
#include "ui/ControlLookup.h"
#include "ui/DropDownList.h"
#include "ui/TemplateBuilder.h"
#include "ui/UiServices.h"
#include "ui/UpDownControl.h"
#include "ui/setup/ControlCatalogue.h"

namespace qm::ui {

namespace {

struct Binding {
    QWidget* page;
    const CatalogueEntry& entry;
    ProcessState& state;
    StatusLine* status;
    UiServices& services;

    template <typename Work>
    void run(Work work) const {
        runWhileRepainting(page->window(), services.queue, work);
        refreshCatalogueControls(page, state.scanSettings);
    }
};

std::string textOf(const QComboBox* list) { return list->currentText().toStdString(); }

void bindCheckBox(const Binding& b, QCheckBox* box) {
    QObject::connect(box, &QCheckBox::clicked, b.page, [b, box](bool ticked) {
        runHandler(box, [b, ticked] {
            b.run([&] { changeCheckBox(b.state, b.status, b.entry, ticked); });
        });
    });
}

void bindList(const Binding& b, DropDownList* list, bool dataFormat) {
    QObject::connect(list, &DropDownList::listClosed, b.page, [b, list, dataFormat] {
        const std::string text = textOf(list);
        b.run([&] {
            if (dataFormat)
                chooseDataFormatText(b.state, b.status, b.entry, text);
            else
                chooseListText(b.state, b.status, b.entry, text);
        });
    });
}

void bindLength(const Binding& b, UpDownControl* spin) {
    QObject::connect(spin, &UpDownControl::stepRequested, b.page, [b](int position, int delta) {
        b.run([&] { stepLength(b.state, b.status, b.entry, position, delta); });
    });
}

void bindControl(const Binding& b, const CatalogueControl& c) {
    QWidget* widget = control(b.page, c.controlId);
    switch (c.kind) {
        case CatalogueControlKind::CheckBox:
            if (auto* box = qobject_cast<QCheckBox*>(widget)) bindCheckBox(b, box);
            break;
        case CatalogueControlKind::List:
        case CatalogueControlKind::DataFormatList:
            if (auto* list = qobject_cast<DropDownList*>(widget))
                bindList(b, list, c.kind == CatalogueControlKind::DataFormatList);
            break;
        case CatalogueControlKind::Length:
            if (auto* spin = controlAs<UpDownControl>(b.page, c.spinId)) bindLength(b, spin);
            break;
    }
}

enum class Spins { Set, Untouched };

void showControl(QWidget* page, const CatalogueControl& c, const ScanSettings& settings,
                 Spins spins) {
    const SettingsField& field = *findSettingsField(c.field);
    QWidget* widget = control(page, c.controlId);
    if (auto* box = qobject_cast<QCheckBox*>(widget)) {
        box->setChecked(field.intIn(settings) != 0);
    } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
        list->setCurrentIndex(list->findText(QString::fromStdString(field.textIn(settings))));
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        const int32_t value = field.intIn(settings);
        edit->setText(QString::number(value));
        auto* spin = controlAs<UpDownControl>(page, c.spinId);
        if (spin && spins == Spins::Set) {
            spin->setRange(0, kLongestLength);
            spin->setPosition(value & 0xFFFF);
        }
    }
}

void showControls(QWidget* page, const ScanSettings& settings, Spins spins) {
    const int templateId = page->property(TemplateIdProperty).toInt();
    for (const CatalogueControl& c : catalogueControlsOf(templateId))
        showControl(page, c, settings, spins);
}

}  // namespace

void bindCatalogueControls(QWidget* page, int templateId, ProcessState& state, StatusLine* status,
                           UiServices& services) {
    for (const CatalogueControl& c : catalogueControlsOf(templateId)) {
        const CatalogueEntry* entry = findCatalogueEntry(c.field);
        if (entry) bindControl(Binding{page, *entry, state, status, services}, c);
    }
}

void fillCatalogueControls(QWidget* page, const ScanSettings& settings) {
    showControls(page, settings, Spins::Set);
}

void refreshCatalogueControls(QWidget* page, const ScanSettings& settings) {
    showControls(page, settings, Spins::Untouched);
}

}  // namespace qm::ui
