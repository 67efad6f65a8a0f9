#pragma once

#include <QMainWindow>
#include <functional>

namespace qm::ui {

// The client window: the parent of the main dialog and of start-up's progress dialog. It
// draws nothing of its own.
class CChildView : public QWidget {
public:
    explicit CChildView(QWidget* parent = nullptr);
};

// The top-level window titled by string 128, with the soft keys "New" and "Menu". Menu
// commands go to the view's handler first, then the frame's.
class CMainFrame : public QMainWindow {
public:
    static constexpr int kAboutCommand = 32774;

    CMainFrame();
    CChildView* view() const { return view_; }

    // Puts the main dialog into the view and fits the frame around it.
    void hostDialog(QWidget* dialog);

    // The view's own command handler; true when it took the command.
    std::function<bool(int command)> viewCommands;

private:
    void route(int command);
    void runAbout();

    CChildView* view_;
};

}  // namespace qm::ui
