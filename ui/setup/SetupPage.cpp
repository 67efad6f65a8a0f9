#include "ui/setup/SetupPage.h"

#include "ui/BusyWork.h"
#include "ui/MessageBoxes.h"
#include "ui/TemplateBuilder.h"
#include "ui/TemplateLoader.h"
#include "ui/UiServices.h"

namespace qm::ui {

SetupPage::SetupPage(int templateId, ProcessState& state, StatusLine* status, UiServices& services,
                     QWidget* parent)
    : QWidget(parent), state_(state), status_(status), services_(services) {
    buildInto(this, requireTemplate(templateId));
}

void SetupPage::runEngineWork(const std::function<void()>& work) {
    runWhileRepainting(window(), services_.queue, work);
}

void SetupPage::showMessage(const QString& text, const QString& caption) {
    services_.boxes.showMessage(window(), text, caption);
}

}  // namespace qm::ui
