#pragma once

#include <QComboBox>

namespace qm::ui {

// A drop-down list that reports every closing of its list, whether or not the choice
// changed; the setup pages act on that, not on a change of selection. A choice made with
// the list closed (arrow keys, a typed letter, the mouse wheel) is a closing too, as is an
// entry that assistive technology selects in the open list. Reports are handlers
// (ui/ControlHandlers.h): one that comes while another runs waits for it.
class DropDownList : public QComboBox {
    Q_OBJECT

public:
    explicit DropDownList(QWidget* parent = nullptr);

    void showPopup() override;
    void hidePopup() override;

signals:
    // Emitted once the list has closed and a choice made in it is in place.
    void listClosed();

private:
    void reportClosing();
    void chosenWhileClosed();
    void selectedInOpenList();

    bool closingQueued_ = false;
};

}  // namespace qm::ui
