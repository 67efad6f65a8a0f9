#pragma once

#include <QObject>
#include <QString>

#include "ui/profiles/SetupPageHooks.h"

class QComboBox;
class QPushButton;
class QWidget;

namespace qm {
struct ProcessState;
}

namespace qm::ui {

struct UiServices;

// The Defaults page's behaviour on its built controls: the profile list, "Save" shown or
// hidden by the selection, and Save and Load. Lives as long as the page, its child.
class DefaultsPageBehaviour : public QObject {
    Q_OBJECT

public:
    DefaultsPageBehaviour(QWidget* page, ProcessState& state, UiServices& services,
                          SetupPageHooks hooks);

    // The page opening: "Factory Defaults" selected.
    void open();
    void save();
    void load();

private:
    QString selectedName() const;
    void showSaveForSelection();
    void showSelection(const QString& name);

    QWidget* page_;
    ProcessState& state_;
    UiServices& services_;
    SetupPageHooks hooks_;
    QComboBox* list_ = nullptr;
    QPushButton* save_ = nullptr;
};

// Attaches the behaviour to a page built from the Defaults template and opens it.
DefaultsPageBehaviour* attachDefaultsPage(QWidget* page, ProcessState& state, UiServices& services,
                                          SetupPageHooks hooks);

}  // namespace qm::ui
