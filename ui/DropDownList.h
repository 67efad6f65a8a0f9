#pragma once

#include <QComboBox>

namespace qm::ui {

// A drop-down list that reports every closing of its list, whether or not the choice
// changed; the setup pages act on that, not on a change of selection.
class DropDownList : public QComboBox {
    Q_OBJECT

public:
    explicit DropDownList(QWidget* parent = nullptr);

    void hidePopup() override;

signals:
    // Emitted once the list has closed and a choice made in it is in place.
    void listClosed();
};

}  // namespace qm::ui
