#pragma once

#include <QString>
#include <vector>

class QTabWidget;
class QWidget;

namespace qm::ui {

// The tab control of the two setup dialogs: one page per tab, each with a flag that says
// whether it may be selected; selecting a tab whose flag is clear goes back to the tab that
// was selected before. The desktop style draws the tabs, a disabled one in its grey text.
class CPageTabCtrl {
public:
    explicit CPageTabCtrl(QTabWidget* tabs);

    // Appends a tab for `page`, enabled; the first tab added is the one shown.
    void addPage(QWidget* page, const QString& caption, int image = 0);
    void setPageEnabled(int index, bool enabled);
    bool pageEnabled(int index) const;
    QTabWidget* tabs() const { return tabs_; }

private:
    void selectionChanged(int index);

    QTabWidget* tabs_;
    std::vector<bool> enabled_;
    int previous_ = 0;
};

}  // namespace qm::ui
