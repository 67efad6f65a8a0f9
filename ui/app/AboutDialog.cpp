#include "ui/app/AboutDialog.h"

#include "ui/TemplateBuilder.h"
#include "ui/TemplateLoader.h"

namespace qm::ui {

CAboutDlg::CAboutDlg(QWidget* owner) : QDialog(owner) {
    buildInto(this, requireTemplate(100));
    if (owner) {
        QRect frame = geometry();
        frame.moveCenter(owner->window()->geometry().center());
        move(frame.topLeft());
    }
}

}  // namespace qm::ui
