#include "apps/wedge_sim/SetupDemonstration.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include "platform/sim/SimEngine.h"
#include "state/ProcessState.h"
#include "ui/ControlLookup.h"
#include "ui/DropDownList.h"
#include "ui/UpDownControl.h"
#include "ui/additional/AdditionalSetupDialog.h"
#include "ui/setup/CodeTypePage.h"
#include "ui/setup/DataFormatPage.h"
#include "ui/setup/DefaultsPage.h"
#include "ui/setup/PageTabCtrl.h"
#include "ui/setup/ScannerPage.h"
#include "ui/setup/SetupDialog.h"

namespace qm::app {

namespace {

constexpr int kCode93 = 1041;
constexpr uint8_t kCode93Parameter = 9;
constexpr int kScanTimeSpin = 1029;
constexpr int kScanTimeEdit = 1012;
constexpr int kScanTestButton = 1021;
constexpr int kScanDataBox = 1025;
constexpr int kFormatList = 1013;
constexpr int kProfileList = 1055;
constexpr int kSaveButton = 1051;
constexpr int kLoadButton = 1052;
constexpr int kAdditionalSetupButton = 1057;
const char* const kPageNames[] = {"user", "scanner", "data-format", "code-type", "defaults"};

// A list as the user closes it on an item: opened, chosen, closed.
void chooseInList(QWidget* page, int id, const QString& text) {
    auto* list = ui::controlAs<ui::DropDownList>(page, id);
    list->showPopup();
    list->setCurrentIndex(list->findText(text));
    list->hidePopup();
}

void click(QWidget* page, int id) { ui::controlAs<QAbstractButton>(page, id)->click(); }

bool ticked(QWidget* page, int id) { return ui::controlAs<QCheckBox>(page, id)->isChecked(); }

}  // namespace

SetupDemonstration::SetupDemonstration(ui::CSetupDlg& dialog, ProcessState& state,
                                       sim::SimEngine& engine, Saver save)
    : dialog_(dialog), state_(state), engine_(engine), save_(std::move(save)) {}

size_t SetupDemonstration::sends(uint8_t number) const {
    size_t count = 0;
    for (const auto& packet : engine_.received()) {
        const auto& b = packet.bytes;
        // PARAM_SEND: length, opcode 0xC6, source, status, beep, then number-value pairs.
        if (b.size() > 6 && b[1] == 0xC6 && b[5] == number) ++count;
    }
    return count;
}

bool SetupDemonstration::parameterSentAgain(uint8_t number, size_t before) const {
    return sends(number) > before;
}

void SetupDemonstration::showPage(int index) {
    dialog_.tabControl().tabs()->setCurrentIndex(index);
    QCoreApplication::processEvents();
}

QString SetupDemonstration::run() {
    QWidget* codeType = &dialog_.codeTypePage();
    QWidget* scanner = &dialog_.scannerPage();
    QWidget* dataFormat = &dialog_.dataFormatPage();
    QWidget* defaults = &dialog_.defaultsPage();

    showPage(3);
    const bool code93Before = ticked(codeType, kCode93);
    click(codeType, kCode93);
    if (ticked(codeType, kCode93) == code93Before) return "Code 93 did not change";

    showPage(1);
    const QString scanTimeBefore = ui::controlAs<QLineEdit>(scanner, kScanTimeEdit)->text();
    ui::controlAs<ui::UpDownControl>(scanner, kScanTimeSpin)->step(1);
    if (ui::controlAs<QLineEdit>(scanner, kScanTimeEdit)->text() == scanTimeBefore)
        return "the scan time did not step";
    engine_.placeBarcode({sim::Symbology::Code128, "SCAN-TEST"});
    click(scanner, kScanTestButton);
    if (ui::controlAs<QLineEdit>(scanner, kScanDataBox)->text() != "SCAN-TEST")
        return "the scan test showed \"" + ui::controlAs<QLineEdit>(scanner, kScanDataBox)->text() +
               "\"";

    showPage(2);
    chooseInList(dataFormat, kFormatList, "<Data><Suffix1>");
    for (int page = 0; page < 5; ++page) {
        showPage(page);
        save_(dialog_.grab(), QString("setup-%1.png").arg(kPageNames[page]));
    }

    // User Config 1 keeps Code 93 as it is now; after a change, loading it puts it back.
    showPage(4);
    chooseInList(defaults, kProfileList, "User Config 1");
    click(defaults, kSaveButton);
    showPage(3);
    const bool saved = ticked(codeType, kCode93);
    click(codeType, kCode93);
    const size_t code93Sends = sends(kCode93Parameter);
    showPage(4);
    click(defaults, kLoadButton);
    if (ticked(codeType, kCode93) != saved) return "loading User Config 1 did not restore Code 93";
    if (saved != code93Before && !parameterSentAgain(kCode93Parameter, code93Sends))
        return "loading User Config 1 did not send Code 93 to the engine";
    chooseInList(defaults, kProfileList, "Factory Defaults");
    click(defaults, kLoadButton);
    save_(dialog_.grab(), "setup-defaults-restored.png");

    screenshotAdditionalPages();
    return {};
}

// The Additional Parameter Setup dialog is modal: its pages are taken once it is up.
void SetupDemonstration::screenshotAdditionalPages() {
    showPage(3);
    QTimer::singleShot(200, [this] {
        auto* additional =
            qobject_cast<ui::CAdditionalSetupDlg*>(QApplication::activeModalWidget());
        if (!additional) return;
        auto* tabs = additional->findChild<QTabWidget*>();
        for (int page = 0; tabs && page < tabs->count(); ++page) {
            tabs->setCurrentIndex(page);
            QCoreApplication::processEvents();
            save_(additional->grab(), QString("additional-%1.png").arg(page + 1));
        }
        additional->accept();
    });
    click(&dialog_.codeTypePage(), kAdditionalSetupButton);
}

}  // namespace qm::app
