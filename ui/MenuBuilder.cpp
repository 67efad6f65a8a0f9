#include "ui/MenuBuilder.h"

#include <QMenu>
#include <QVariant>

namespace qm::ui {

namespace {

QString commandName(int command) { return QStringLiteral("cmd%1").arg(command); }

void addEntries(QMenu* menu, const std::vector<MenuItem>& items);

void addEntry(QMenu* menu, const MenuItem& item) {
    if (!item.items.empty()) {
        addEntries(menu->addMenu(item.text), item.items);
        return;
    }
    QAction* action = menu->addAction(item.text);
    action->setObjectName(commandName(item.command));
    action->setProperty("commandId", item.command);
}

void addEntries(QMenu* menu, const std::vector<MenuItem>& items) {
    for (const MenuItem& item : items) addEntry(menu, item);
}

}  // namespace

QMenuBar* buildMenuBar(const MenuTemplate& menu, QWidget* parent) {
    auto* bar = new QMenuBar(parent);
    for (const MenuItem& key : menu.softKeys) {
        if (key.popup >= 0) {
            addEntries(bar->addMenu(key.text),
                       menu.items[static_cast<std::size_t>(key.popup)].items);
            continue;
        }
        QAction* action = bar->addAction(key.text);
        action->setObjectName(commandName(key.command));
        action->setProperty("commandId", key.command);
    }
    return bar;
}

QAction* menuCommand(const QObject* root, int command) {
    return root ? root->findChild<QAction*>(commandName(command)) : nullptr;
}

}  // namespace qm::ui
