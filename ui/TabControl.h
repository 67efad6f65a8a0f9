#pragma once

#include <QTabWidget>

namespace qm::ui {

// The tab control of a template: tabs as narrow as their captions allow, one average
// character beside each caption, so the five setup tabs fit in one row; tabs that still do
// not fit scroll, as the handheld's do.
class TabControl : public QTabWidget {
    Q_OBJECT

public:
    explicit TabControl(QWidget* parent = nullptr);
};

}  // namespace qm::ui
