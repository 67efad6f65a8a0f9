#pragma once

#include <QDialog>
#include <vector>

namespace qm {
struct ProcessState;
class StatusLine;
}  // namespace qm

namespace qm::ui {

struct UiServices;
struct DialogTemplate;
class CSetupDlg;

// "Additional Parameter Setup": the per-symbology options of seven tab pages. Every control
// acts at once through its catalogue handler, so "OK" and the close request only end it.
// The pages show the settings as they are when it is built; build one for each opening.
class CAdditionalSetupDlg : public QDialog {
    Q_OBJECT

public:
    // `status` is the Bar Code Setup dialog's status line underneath (may be null).
    CAdditionalSetupDlg(ProcessState& state, StatusLine* status, UiServices& services,
                        QWidget* parent = nullptr);

    // The pages in tab order.
    const std::vector<QWidget*>& pages() const { return pages_; }

private:
    void addPages(const DialogTemplate& dialog, ProcessState& state, StatusLine* status,
                  UiServices& services);
    void fillPages(ProcessState& state);

    std::vector<QWidget*> pages_;
};

// The Code Type page's "Setup" of `owner`: runs the dialog modally over it, its status texts
// in the owner's status line.
void attachAdditionalSetup(CSetupDlg& owner, ProcessState& state, UiServices& services);

}  // namespace qm::ui
