#pragma once

#include <QDialog>

namespace qm::ui {

// "About Quillmark": the product and its version; closed through the window's close control.
class CAboutDlg : public QDialog {
public:
    explicit CAboutDlg(QWidget* owner = nullptr);
};

}  // namespace qm::ui
