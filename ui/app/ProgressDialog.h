#pragma once

#include <QDialog>

class QProgressBar;

namespace qm::ui {

// "Initializing Bar Code Scanner": the modeless dialog whose bar runs from 0 to 85 while the
// engine is initialised or brought in line with a profile.
class CProgressDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kBarId = 1069;

    explicit CProgressDlg(QWidget* parent = nullptr);
    void setPosition(int position);
    int position() const;

signals:
    void positionShown(int position);

private:
    QProgressBar* bar_;
};

}  // namespace qm::ui
