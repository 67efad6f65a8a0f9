#include "ui/setup/ScanDataBox.h"

#include "ui/GuiQueue.h"
#include "ui/WedgeTexts.h"

namespace qm::ui {

namespace {
QString fromUtf16(std::u16string_view text) {
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}
}  // namespace

ScanDataBox::ScanDataBox(QLineEdit* box, GuiQueue& queue) : box_(box), queue_(queue) {}

void ScanDataBox::preparing() { show(fromUtf16(kPreparingToScanText)); }
void ScanDataBox::showData(const std::u16string& data) { show(fromUtf16(data)); }
void ScanDataBox::failed() { show(fromUtf16(kFailedToScanText)); }

void ScanDataBox::show(QString text) {
    queue_.runOnGui([box = box_, text = std::move(text)] {
        if (!box) return;
        box->setText(text);
        box->repaint();
    });
}

}  // namespace qm::ui
