#include "ui/profiles/SetupProfileObserver.h"

#include <QString>

#include "ui/BusyWork.h"
#include "ui/MessageBoxes.h"
#include "ui/ProgramLog.h"
#include "ui/UiServices.h"
#include "ui/app/QueuedProgress.h"

namespace qm::ui {

namespace {
const QString kBoxCaption = QStringLiteral("Quillmark");
}

SetupProfileObserver::SetupProfileObserver(QWidget* window, UiServices& services,
                                           const SetupPageHooks& hooks,
                                           std::function<void()> refreshDefaultsPage)
    : window_(window),
      services_(services),
      hooks_(hooks),
      refreshDefaultsPage_(std::move(refreshDefaultsPage)) {}

void SetupProfileObserver::showStatus(std::string_view text) {
    if (hooks_.status) hooks_.status->showStatus(text);
}

void SetupProfileObserver::showMissingProfile(std::string_view text) {
    services_.boxes.showMessage(window_, QString::fromUtf8(text.data(), qsizetype(text.size())),
                                kBoxCaption, BoxIcon::Exclamation);
}

void SetupProfileObserver::showUnreadableProfile(std::string_view text) {
    logFailure(services_.log, text);
    showMissingProfile(text);
}

void SetupProfileObserver::applySettingsToPages() {
    if (hooks_.applySettingsToPages) hooks_.applySettingsToPages();
}

void SetupProfileObserver::refreshAfterLoad() {
    if (hooks_.refreshDependentControls) hooks_.refreshDependentControls();
    if (refreshDefaultsPage_) refreshDefaultsPage_();
}

void SetupProfileObserver::runEngineWork(const std::function<void()>& work) {
    runWhileRepainting(window_, services_.queue, work);
}

std::unique_ptr<ProgressReporter> SetupProfileObserver::createProgressDialog() {
    return QueuedProgressFactory(services_.queue, window_).createProgressDialog();
}

}  // namespace qm::ui
