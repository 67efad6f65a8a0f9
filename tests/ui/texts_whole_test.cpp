#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QTabWidget>

#include "ui/ControlLookup.h"
#include "ui/TemplateBuilder.h"
#include "ui/TemplateLoader.h"

namespace qm::ui {
namespace {

QString where(const QWidget* w) {
    const int id = controlId(w);
    QString text;
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) text = b->text();
    if (auto* l = qobject_cast<const QLabel*>(w)) text = l->text();
    if (auto* g = qobject_cast<const QGroupBox*>(w)) text = g->title();
    return QStringLiteral("%1 %2 \"%3\"").arg(w->metaObject()->className()).arg(id).arg(text);
}

bool labelFits(const QLabel* label) {
    const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
    const QRect need =
        label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 10000), flags, label->text());
    return need.width() <= label->width() && need.height() <= label->height();
}

bool buttonFits(const QPushButton* button) {
    const QSize text = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
    return text.width() + 8 <= button->width() && text.height() + 4 <= button->height();
}

// Where a check box draws its text, as the style lays it out.
bool boxFits(const QCheckBox* box) {
    QStyleOptionButton option;
    option.initFrom(box);
    option.text = box->text();
    const QRect text = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
    return box->fontMetrics().horizontalAdvance(box->text()) <= text.width() &&
           box->fontMetrics().height() <= box->height();
}

// Every item of a list, shown closed, in the field the style leaves beside the arrow.
bool listFits(const QComboBox* list) {
    QStyleOptionComboBox option;
    option.initFrom(list);
    const QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                      QStyle::SC_ComboBoxEditField, list);
    for (int i = 0; i < list->count(); ++i)
        if (list->fontMetrics().horizontalAdvance(list->itemText(i)) > field.width() - 2)
            return false;
    return true;
}

// The text, its margins and the frame.
bool editFits(const QLineEdit* edit) {
    constexpr int kMarginsAndFrame = 8;
    return edit->fontMetrics().horizontalAdvance(edit->text()) + kMarginsAndFrame <= edit->width();
}

QRect groupPart(const QGroupBox* group, QStyle::SubControl part) {
    QStyleOptionGroupBox option;
    option.initFrom(group);
    option.text = group->title();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    option.lineWidth = 1;
    option.textAlignment = group->alignment();
    return group->style()
        ->subControlRect(QStyle::CC_GroupBox, &option, part, group)
        .translated(group->pos());
}

// Every control within a group lies inside its frame, clear of its lines and its title.
void checkGroup(const QGroupBox* group, QStringList& cut) {
    const QRect frame = groupPart(group, QStyle::SC_GroupBoxFrame).adjusted(1, 1, -1, -1);
    const QRect title = groupPart(group, QStyle::SC_GroupBoxLabel);
    for (QWidget* sibling :
         group->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QRect r = sibling->geometry();
        if (sibling == group || !group->geometry().contains(r.center())) continue;
        if (!frame.contains(r) || (!group->title().isEmpty() && title.intersects(r)))
            cut << where(sibling) + " on the frame of " + where(group);
    }
    if (!group->title().isEmpty() &&
        group->fontMetrics().boundingRect(group->title()).width() > title.width())
        cut << where(group);
}

// Every tab the row shows is whole, and the row shows the selected one.
void checkTabs(const QTabWidget* tabs, QStringList& cut) {
    const QTabBar* bar = tabs->tabBar();
    if (!bar->isTabVisible(bar->currentIndex())) cut << "the selected tab is not shown";
    for (int i = 0; i < bar->count(); ++i) {
        if (bar->isTabVisible(i) && !bar->rect().contains(bar->tabRect(i)))
            cut << QStringLiteral("tab \"%1\"").arg(bar->tabText(i));
    }
}

// Controls side by side never cover one another; a group box holds the controls inside it.
void checkOverlaps(const QWidget* page, QStringList& cut) {
    QList<QWidget*> controls;
    for (QWidget* w : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!w->isHidden() && !qobject_cast<QGroupBox*>(w)) controls << w;
    for (int i = 0; i < controls.size(); ++i)
        for (int j = i + 1; j < controls.size(); ++j)
            if (controls[i]->geometry().intersects(controls[j]->geometry()))
                cut << where(controls[i]) + " covers " + where(controls[j]);
}

QStringList cutTexts(const QWidget* host) {
    QStringList cut;
    checkOverlaps(host, cut);
    for (QWidget* page : host->findChildren<QWidget*>())
        if (page->property(TemplateIdProperty).isValid()) checkOverlaps(page, cut);
    for (QWidget* w : host->findChildren<QWidget*>()) {
        if (auto* label = qobject_cast<QLabel*>(w); label && !label->text().isEmpty()) {
            if (!labelFits(label)) cut << where(w);
        } else if (auto* button = qobject_cast<QPushButton*>(w)) {
            if (!buttonFits(button)) cut << where(w);
        } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
            if (!boxFits(box)) cut << where(w);
        } else if (auto* list = qobject_cast<QComboBox*>(w)) {
            if (!listFits(list)) cut << where(w);
        } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            if (!edit->parentWidget()->inherits("QComboBox") && !editFits(edit)) cut << where(w);
        } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
            checkGroup(group, cut);
        } else if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
            checkTabs(tabs, cut);
        }
    }
    return cut;
}

// The longest each edit shows: a length, a time, the scan test's and the status texts.
void fillEdits(QWidget* host) {
    for (auto* edit : host->findChildren<QLineEdit*>())
        if (edit->validator()) edit->setText("99");
    const struct {
        int templateId, id;
        const char* text;
    } texts[] = {{143, 1014, "9.9"},
                 {143, 1012, "9.9"},
                 {143, 1025, "Preparing to Scan..."},
                 {129, 1039, "Failed to update settings."}};
    QList<QWidget*> pages = host->findChildren<QWidget*>();
    pages << host;
    for (QWidget* page : pages) {
        for (const auto& t : texts) {
            if (page->property(TemplateIdProperty).toInt() != t.templateId) continue;
            if (auto* edit = controlAs<QLineEdit>(page, t.id)) edit->setText(t.text);
        }
    }
}

std::unique_ptr<QWidget> builtWithPages(int id) {
    const DialogTemplate dialog = requireTemplate(id);
    auto host = buildWidget(dialog);
    for (const ControlTemplate& c : dialog.controls) {
        auto* tabs = controlAs<QTabWidget>(host.get(), c.id);
        for (const TabPage& page : c.pages) {
            auto* pageWidget = new QWidget;
            buildInto(pageWidget, requireTemplate(page.templateId));
            tabs->addTab(pageWidget, page.caption);
        }
    }
    fillEdits(host.get());
    host->setAttribute(Qt::WA_DontShowOnScreen);
    host->show();
    return host;
}

// Every text the user reads on the setup dialogs' pages and in the help, whole at the
// desktop's font and at one and a half and twice its size.
TEST(TextsWhole, EveryPageAtTheDesktopFontAndLarger) {
    const QFont desktop = QApplication::font();
    for (double scale : {1.0, 1.5, 2.0}) {
        QFont font = desktop;
        font.setPointSizeF(desktop.pointSizeF() * scale);
        QApplication::setFont(font);
        for (int id : {129, 157, 147}) {
            const auto host = builtWithPages(id);
            auto* tabs = host->findChild<QTabWidget*>();
            const int pages = tabs ? tabs->count() : 1;
            for (int page = 0; page < pages; ++page) {
                if (tabs) tabs->setCurrentIndex(page);
                QCoreApplication::processEvents();
                EXPECT_EQ(cutTexts(host.get()).join("\n").toStdString(), "")
                    << "template " << id << " page " << page << " at " << scale << "x";
            }
        }
    }
    QApplication::setFont(desktop);
}

}  // namespace
}  // namespace qm::ui
