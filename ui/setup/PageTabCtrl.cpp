#include "ui/setup/PageTabCtrl.h"

#include <QTabWidget>

namespace qm::ui {

CPageTabCtrl::CPageTabCtrl(QTabWidget* tabs) : tabs_(tabs) {
    QObject::connect(tabs_, &QTabWidget::currentChanged, tabs_,
                     [this](int index) { selectionChanged(index); });
}

// Every caller passes image 0 and there is no image list: the index changes nothing.
void CPageTabCtrl::addPage(QWidget* page, const QString& caption, int /*image*/) {
    enabled_.push_back(true);
    tabs_->addTab(page, caption);
}

void CPageTabCtrl::setPageEnabled(int index, bool enabled) {
    if (index < 0 || index >= static_cast<int>(enabled_.size())) return;
    enabled_[static_cast<size_t>(index)] = enabled;
    tabs_->setTabEnabled(index, enabled);
}

bool CPageTabCtrl::pageEnabled(int index) const {
    return index >= 0 && index < static_cast<int>(enabled_.size()) &&
           enabled_[static_cast<size_t>(index)];
}

void CPageTabCtrl::selectionChanged(int index) {
    if (index < 0) return;
    if (pageEnabled(index)) {
        previous_ = index;
    } else {
        tabs_->setCurrentIndex(previous_);
    }
}

}  // namespace qm::ui
