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
    return QString("%1 \"%2\"").arg(controlId(w)).arg(w->accessibleName());
}

int textWidth(const QWidget* w, const QString& text) {
    return w->fontMetrics().horizontalAdvance(text);
}

bool labelFits(const QLabel* label) {
    const QRect need = label->fontMetrics().boundingRect(
        label->rect(), int(label->alignment()) | Qt::TextWordWrap, label->text());
    return label->rect().contains(need);
}

bool buttonFits(const QPushButton* button) {
    const QSize text = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
    return text.width() + 8 <= button->width() && text.height() + 4 <= button->height();
}

// Where the style draws a check box's text.
bool boxFits(const QCheckBox* box) {
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect text = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
    return textWidth(box, box->text()) <= text.width() &&
           box->fontMetrics().height() <= box->height();
}

// Every entry of a list in the field the style leaves beside the arrow of the closed list.
bool listFits(const QComboBox* list) {
    QStyleOptionComboBox option;
    option.initFrom(list);
    const int field =
        list->style()
            ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list)
            .width();
    for (int i = 0; i < list->count(); ++i)
        if (textWidth(list, list->itemText(i)) > field - 2) return false;
    return true;
}

bool editFits(const QLineEdit* edit) {
    constexpr int kMarginsAndFrame = 8;
    return textWidth(edit, edit->text()) + kMarginsAndFrame <= edit->width();
}

QRect groupPart(const QGroupBox* group, QStyle::SubControl part) {
    QStyleOptionGroupBox option;
    option.initFrom(group);
    option.text = group->title();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    option.lineWidth = 1;
    return group->style()
        ->subControlRect(QStyle::CC_GroupBox, &option, part, group)
        .translated(group->pos());
}

// The controls within a group lie inside its frame, clear of its lines and its title.
void checkGroup(const QGroupBox* group, QStringList& cut) {
    const QRect frame = groupPart(group, QStyle::SC_GroupBoxFrame).adjusted(1, 1, -1, -1);
    const QRect title = groupPart(group, QStyle::SC_GroupBoxLabel);
    if (group->fontMetrics().boundingRect(group->title()).width() > title.width())
        cut << where(group);
    for (QWidget* w : group->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w == group || !group->geometry().contains(w->geometry().center())) continue;
        if (!frame.contains(w->geometry()) ||
            (!group->title().isEmpty() && title.intersects(w->geometry())))
            cut << where(w) + " on the frame of " + where(group);
    }
}

// The tabs the row shows are whole, the selected one among them.
void checkTabs(const QTabBar* bar, QStringList& cut) {
    if (!bar->isTabVisible(bar->currentIndex())) cut << "the selected tab is not shown";
    for (int i = 0; i < bar->count(); ++i)
        if (bar->isTabVisible(i) && !bar->rect().contains(bar->tabRect(i))) cut << bar->tabText(i);
}

// Controls side by side never cover one another.
void checkOverlaps(const QWidget* page, QStringList& cut) {
    QList<QWidget*> controls;
    for (QWidget* w : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!w->isHidden() && !qobject_cast<QGroupBox*>(w)) controls << w;
    for (int i = 0; i < controls.size(); ++i)
        for (int j = i + 1; j < controls.size(); ++j)
            if (controls[i]->geometry().intersects(controls[j]->geometry()))
                cut << where(controls[i]) + " covers " + where(controls[j]);
}

QStringList cutTexts(QWidget* host) {
    QStringList cut;
    QList<QWidget*> all = host->findChildren<QWidget*>();
    all << host;
    for (QWidget* w : all) {
        if (w->property(TemplateIdProperty).isValid()) checkOverlaps(w, cut);
        bool fits = true;
        if (auto* label = qobject_cast<QLabel*>(w)) fits = labelFits(label);
        if (auto* button = qobject_cast<QPushButton*>(w)) fits = buttonFits(button);
        if (auto* box = qobject_cast<QCheckBox*>(w)) fits = boxFits(box);
        if (auto* list = qobject_cast<QComboBox*>(w)) fits = listFits(list);
        if (auto* edit = qobject_cast<QLineEdit*>(w);
            edit && !edit->parent()->inherits("QComboBox"))
            fits = editFits(edit);
        if (!fits) cut << where(w);
        if (auto* group = qobject_cast<QGroupBox*>(w)) checkGroup(group, cut);
        if (auto* bar = qobject_cast<QTabBar*>(w)) checkTabs(bar, cut);
    }
    return cut;
}

// The longest each edit shows: a length, a time, the scan test's and the status texts.
void fillEdits(QWidget* host) {
    const struct {
        int templateId, id;
        const char* text;
    } longest[] = {{143, 1014, "9.9"},
                   {143, 1012, "9.9"},
                   {143, 1025, "Preparing to Scan..."},
                   {129, 1039, "Failed to update settings."}};
    for (auto* edit : host->findChildren<QLineEdit*>())
        if (edit->validator()) edit->setText("99");
    QList<QWidget*> pages = host->findChildren<QWidget*>();
    pages << host;
    for (QWidget* page : pages)
        for (const auto& t : longest)
            if (page->property(TemplateIdProperty).toInt() == t.templateId)
                controlAs<QLineEdit>(page, t.id)->setText(t.text);
}

std::unique_ptr<QWidget> builtWithPages(int id) {
    const DialogTemplate dialog = requireTemplate(id);
    auto host = buildWidget(dialog);
    for (const ControlTemplate& c : dialog.controls) {
        for (const TabPage& page : c.pages) {
            auto* pageWidget = new QWidget;
            buildInto(pageWidget, requireTemplate(page.templateId));
            controlAs<QTabWidget>(host.get(), c.id)->addTab(pageWidget, page.caption);
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
            for (int page = 0; page < (tabs ? tabs->count() : 1); ++page) {
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
