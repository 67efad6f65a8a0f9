#include "ui/setup/DataFormatPage.h"

#include "settings/ParameterValues.h"
#include "state/ProcessState.h"
#include "ui/DropDownList.h"
#include "ui/setup/CatalogueBinding.h"

namespace qm::ui {

namespace {

constexpr int kTemplate = 103;
constexpr int kFormat = 1013;
constexpr int kCodeId = 1015;

struct FormatPart {
    int list;
    int label;
    uint8_t bit;
};
constexpr FormatPart kParts[] = {{1016, 1072, kFormatPrefixBit},
                                 {1017, 1073, kFormatSuffix1Bit},
                                 {1018, 1074, kFormatSuffix2Bit}};

}  // namespace

CDataFormatPage::CDataFormatPage(ProcessState& state, StatusLine* status, UiServices& services,
                                 QWidget* parent)
    : SetupPage(kTemplate, state, status, services, parent) {
    // Connected before the catalogue handler, so the lists change before the format is sent.
    auto* format = item<DropDownList>(kFormat);
    QObject::connect(format, &DropDownList::listClosed, this, [this, format] {
        if (format->currentText().toStdString() != state_.scanSettings.dataFormatText)
            showFormatParts(format->currentText());
    });
    bindCatalogueControls(this, kTemplate, state_, status_, services_);
}

void CDataFormatPage::fill(const ScanSettings& settings) { fillCatalogueControls(this, settings); }

void CDataFormatPage::updateFormatControls() {
    showFormatParts(item<QComboBox>(kFormat)->currentText());
}

void CDataFormatPage::showFormatParts(const QString& format) {
    const uint8_t code = formatCode(format.toStdString()).value_or(0);
    for (const FormatPart& part : kParts) {
        const bool shown = (code & part.bit) != 0;
        item<QWidget>(part.list)->setVisible(shown);
        item<QWidget>(part.label)->setEnabled(shown);
    }
}

QString CDataFormatPage::codeIdText() const { return item<QComboBox>(kCodeId)->currentText(); }

}  // namespace qm::ui
