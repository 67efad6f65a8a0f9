#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTabBar>
#include <QToolButton>

#include "ui/ControlLookup.h"
#include "ui/DropDownList.h"
#include "ui/MenuBuilder.h"
#include "ui/MenuLoader.h"
#include "ui/TabControl.h"
#include "ui/TemplateBuilder.h"
#include "ui/TemplateLoader.h"
#include "ui/UpDownControl.h"

namespace qm::ui {
namespace {

std::unique_ptr<QWidget> built(int id) { return buildWidget(requireTemplate(id)); }

QLabel* labelFor(const QWidget* page, const QWidget* named) {
    for (QLabel* label : page->findChildren<QLabel*>()) {
        if (label->buddy() == named) return label;
    }
    return nullptr;
}

TEST(AccessibleNames, ListsEditsAndSpinsTakeTheirLabelsWords) {
    struct Case {
        int templateId;
        int controlId;
        const char* name;
        bool isBuddy;  // false: named by a label whose buddy is another control
    };
    const Case cases[] = {
        {143, 1014, "Target Time", true}, {143, 1030, "Target Time", false},
        {143, 1012, "Scan Time", true},   {143, 1038, "Scan Angle", true},
        {129, 1039, "Status:", true},     {142, 1055, "Select User Defaults:", true},
        {103, 1016, "Prefix", true},      {146, 1013, "Set Length", true},
        {146, 1017, "Set Length", false}, {146, 1018, "Set Length", false},
        {139, 1008, "Good Read", false},  {147, 1, "OK", false},
    };
    for (const Case& c : cases) {
        const std::unique_ptr<QWidget> page = built(c.templateId);
        QWidget* named = control(page.get(), c.controlId);
        ASSERT_NE(named, nullptr) << c.controlId;
        EXPECT_EQ(named->accessibleName(), c.name) << c.templateId << "/" << c.controlId;
        EXPECT_EQ(labelFor(page.get(), named) != nullptr, c.isBuddy) << c.controlId;
    }
}

TEST(AccessibleNames, LabelsShowDoubledAmpersandsAsOne) {
    const std::unique_ptr<QWidget> help = built(147);
    const QList<QLabel*> labels = help->findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 6);
    EXPECT_EQ(labels[0]->text(), "1  -  Codabar, MSI, Discrete 2 of 5, & Interleaved 2 of 5");
    EXPECT_EQ(labels[1]->text(), "        need two consecutive reads - The rest only one.");
}

TEST(DropDownList, ReportsEveryClosingOfItsList) {
    const std::unique_ptr<QWidget> page = built(143);
    auto* angle = controlAs<DropDownList>(page.get(), 1038);
    ASSERT_NE(angle, nullptr);
    angle->setCurrentIndex(0);
    int indexWhenClosed = -2;
    QObject::connect(angle, &DropDownList::listClosed,
                     [&] { indexWhenClosed = angle->currentIndex(); });
    QSignalSpy closed(angle, &DropDownList::listClosed);
    page->show();

    angle->showPopup();
    angle->hidePopup();
    QCoreApplication::processEvents();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(indexWhenClosed, 0);

    // A choice made in the list is in place by the time the closing is reported.
    angle->showPopup();
    angle->view()->setCurrentIndex(angle->model()->index(1, 0));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(angle->view(), &enter);
    QCoreApplication::processEvents();
    EXPECT_EQ(closed.count(), 2);
    EXPECT_EQ(indexWhenClosed, 1);

    // Hiding the page hides its lists, none of them open: no closing to report.
    page->hide();
    QCoreApplication::processEvents();
    EXPECT_EQ(closed.count(), 2);
}

TEST(UpDownControl, AnnouncesEachStepAndStaysInItsRange) {
    const std::unique_ptr<QWidget> page = built(143);
    auto* spin = controlAs<UpDownControl>(page.get(), 1030);
    auto* edit = controlAs<QLineEdit>(page.get(), 1014);
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(spin->attachedEdit(), edit);
    spin->setRange(0, 99);
    spin->setPosition(99);
    QSignalSpy requested(spin, &UpDownControl::stepRequested);

    QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    QCoreApplication::sendEvent(edit, &up);  // the arrow keys of the edit step its spin
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(spin, &down);

    ASSERT_EQ(requested.count(), 2);
    EXPECT_EQ(requested[0], (QVariantList{99, 1}));
    EXPECT_EQ(requested[1], (QVariantList{99, -1}));
    EXPECT_EQ(spin->position(), 98);
    EXPECT_TRUE(edit->text().isEmpty());  // the owner, not the spin, writes the edit
}

TEST(TabControl, ShowsTheRunOfWholeTabsAroundTheSelectedOneAndItsArrowsStepThrough) {
    const DialogTemplate dialog = requireTemplate(157);
    const std::unique_ptr<QWidget> host = buildWidget(dialog);
    auto* tabs = controlAs<TabControl>(host.get(), 1032);
    for (const TabPage& page : dialog.find(1032)->pages) tabs->addTab(new QWidget, page.caption);
    host->setAttribute(Qt::WA_DontShowOnScreen);
    host->show();
    QToolButton* next = nullptr;
    for (auto* arrow : tabs->findChildren<QToolButton*>())
        if (arrow->accessibleName() == "Next tab") next = arrow;
    ASSERT_NE(next, nullptr);
    ASSERT_TRUE(next->isVisible());  // seven tabs are more than one row holds
    EXPECT_EQ(tabs->firstShownTab(), 0);
    EXPECT_LT(tabs->lastShownTab(), 6);
    for (int expected = 1; expected < tabs->count(); ++expected) {
        next->click();
        EXPECT_EQ(tabs->currentIndex(), expected);
        EXPECT_TRUE(tabs->firstShownTab() <= expected && expected <= tabs->lastShownTab());
    }
    EXPECT_FALSE(tabs->tabBar()->isTabVisible(0));
    EXPECT_FALSE(next->isEnabled());
}

TEST(Menu, TheAboutCommandAndTheTitleAreShipped) {
    const Loaded<MenuTemplate> menu = loadMenu(128);
    ASSERT_TRUE(menu.ok()) << qPrintable(menu.error);
    QWidget frame;
    QMenuBar* bar = buildMenuBar(menu.value, &frame);
    ASSERT_EQ(bar->actions().size(), 2);
    EXPECT_EQ(bar->actions()[0]->text(), "New");
    EXPECT_EQ(bar->actions()[1]->text(), "Menu");
    QAction* about = menuCommand(&frame, 32774);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->text(), "&About");
    EXPECT_EQ(loadString(128).value, "Quillmark 0.1");
}

}  // namespace
}  // namespace qm::ui
