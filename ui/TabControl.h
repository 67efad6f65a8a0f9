#pragma once

#include <QTabWidget>

class QToolButton;

namespace qm::ui {

// The tab control of a template: tabs as narrow as their captions allow, one average
// character beside each caption, so the five setup tabs fit in one row. Where the row cannot
// hold every tab, it shows the run of whole tabs around the selected one and two arrows at
// its end that select the tab before and after; a caption is never cut.
class TabControl : public QTabWidget {
    Q_OBJECT

public:
    explicit TabControl(QWidget* parent = nullptr);

    // The tabs the row shows now, first and last.
    int firstShownTab() const { return first_; }
    int lastShownTab() const { return last_; }

protected:
    void tabInserted(int index) override;
    void tabRemoved(int index) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void showWholeTabs();
    int tabWidth(int index) const;
    int roomForTabs(bool withArrows) const;
    int lastTabFitting(int first, int room) const;
    void selectNeighbour(int step);

    QWidget* arrows_;
    QToolButton* previous_;
    QToolButton* next_;
    int first_ = 0;
    int last_ = -1;
    bool arranging_ = false;
};

}  // namespace qm::ui
