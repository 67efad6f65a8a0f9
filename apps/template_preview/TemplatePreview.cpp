#include "TemplatePreview.h"

#include <QTabWidget>

#include "ui/ControlLookup.h"
#include "ui/TemplateBuilder.h"
#include "ui/TemplateLoader.h"

namespace qm::template_preview {

namespace {

using namespace qm::ui;

bool addPages(QTabWidget* tabs, const ControlTemplate& control, QString& error) {
    for (const TabPage& page : control.pages) {
        const Loaded<DialogTemplate> loaded = loadTemplate(page.templateId);
        if (!loaded.ok()) {
            error = loaded.error;
            return false;
        }
        auto* pageWidget = new QWidget;
        buildInto(pageWidget, loaded.value);
        tabs->addTab(pageWidget, page.caption);
    }
    return true;
}

bool addAllPages(QWidget* host, const DialogTemplate& dialog, int selected, QString& error) {
    for (const ControlTemplate& control : dialog.controls) {
        auto* tabs = controlAs<QTabWidget>(host, control.id);
        if (!tabs) continue;
        if (!addPages(tabs, control, error)) return false;
        tabs->setCurrentIndex(selected);
    }
    return true;
}

}  // namespace

QImage previewTemplate(int id, int page, QString& error) {
    const Loaded<DialogTemplate> loaded = loadTemplate(id);
    if (!loaded.ok()) {
        error = loaded.error;
        return {};
    }
    const std::unique_ptr<QWidget> host = buildWidget(loaded.value);
    if (!addAllPages(host.get(), loaded.value, page, error)) return {};
    host->setAttribute(Qt::WA_DontShowOnScreen);
    host->show();
    return host->grab().toImage();
}

}  // namespace qm::template_preview
