#include "ui/app/MainFrame.h"

#include <QAction>
#include <QIcon>
#include <QMenuBar>

#include "ui/MenuBuilder.h"
#include "ui/MenuLoader.h"
#include "ui/app/AboutDialog.h"

namespace qm::ui {

namespace {

constexpr char kCommandProperty[] = "commandId";

void connectCommands(QMenuBar* bar, const std::function<void(int)>& route) {
    for (QAction* action : bar->findChildren<QAction*>()) {
        const QVariant command = action->property(kCommandProperty);
        if (!command.isValid()) continue;
        QObject::connect(action, &QAction::triggered, [route, id = command.toInt()] { route(id); });
    }
}

}  // namespace

CChildView::CChildView(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
}

CMainFrame::CMainFrame() : view_(new CChildView(this)) {
    setWindowTitle(loadString(128).value);
    setWindowIcon(QIcon(":/icons/128.png"));
    setCentralWidget(view_);
    const auto menu = loadMenu(128);
    if (menu.ok()) {
        QMenuBar* bar = buildMenuBar(menu.value, this);
        setMenuBar(bar);
        connectCommands(bar, [this](int command) { route(command); });
    }
}

void CMainFrame::hostDialog(QWidget* dialog) {
    dialog->setParent(view_);
    dialog->move(0, 0);
    view_->setMinimumSize(dialog->size());
    adjustSize();
}

void CMainFrame::route(int command) {
    if (viewCommands && viewCommands(command)) return;
    if (command == kAboutCommand) runAbout();
}

void CMainFrame::runAbout() {
    CAboutDlg about(this);
    about.exec();
}

}  // namespace qm::ui
