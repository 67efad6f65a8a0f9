#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <set>

#include "session/ProfileNames.h"
#include "settings/ParameterCatalogue.h"
#include "settings/Vocabularies.h"
#include "ui/ControlLookup.h"
#include "ui/TemplateBuilder.h"
#include "ui/TemplateLoader.h"
#include "ui/setup/ControlCatalogue.h"

namespace qm::ui {
namespace {

TEST(Templates, EveryDialogAndPageIsShippedAndBuildsWithEachIdFound) {
    const std::vector<int> expected = {100, 103, 129, 130, 137, 139, 140, 142, 143, 146, 147,
                                       148, 151, 154, 155, 156, 157, 158, 159, 160, 200};
    ASSERT_EQ(shippedTemplateIds(), expected);
    for (int id : expected) {
        SCOPED_TRACE(id);
        const Loaded<DialogTemplate> loaded = loadTemplate(id);
        ASSERT_TRUE(loaded.ok()) << qPrintable(loaded.error);
        const std::unique_ptr<QWidget> built = buildWidget(loaded.value);
        std::set<QWidget*> found;
        for (const ControlTemplate& c : loaded.value.controls) {
            if (c.id == NoId) continue;
            QWidget* widget = control(built.get(), c.id);
            ASSERT_NE(widget, nullptr) << c.id;
            EXPECT_EQ(controlId(widget), c.id);
            EXPECT_TRUE(found.insert(widget).second) << c.id;
            for (const TabPage& page : c.pages) EXPECT_TRUE(loadTemplate(page.templateId).ok());
        }
    }
}

// The templates hold the lists' items as data of their own: each must offer what the settings
// know, in the order they know it.
TEST(Templates, EveryListOffersItsVocabularyInOrder) {
    const auto textsOf = [](std::span<const std::string_view> texts) {
        QStringList list;
        for (std::string_view text : texts)
            list << QString::fromUtf8(text.data(), qsizetype(text.size()));
        return list;
    };
    struct List {
        int page, id;
        QStringList items;
    };
    std::vector<List> lists = {{143, 1038, textsOf(ScanAngleTexts)},
                               {139, 1004, textsOf(KeyNames)},
                               {142, 1055, textsOf(ProfileNames)}};
    for (const CatalogueControl& c : catalogueControls()) {
        if (c.kind != CatalogueControlKind::List && c.kind != CatalogueControlKind::DataFormatList)
            continue;
        lists.push_back(
            {c.templateId, c.controlId, textsOf(findCatalogueEntry(c.field)->values->texts())});
    }
    for (const List& list : lists) {
        const DialogTemplate page = requireTemplate(list.page);
        const ControlTemplate* control = page.find(list.id);
        ASSERT_NE(control, nullptr) << list.page << " " << list.id;
        EXPECT_EQ(control->items, list.items) << list.page << " " << list.id;
    }
}

TEST(Templates, MainDialogHasItsFiveButtonsAtTheirRectangles) {
    struct Expected {
        int id;
        const char* text;
        QRect units;
        bool isDefault;
    };
    const Expected buttons[] = {
        {1060, "Begin Scan", {32, 21, 60, 30}, true},
        {1059, "Bar Code Setup", {115, 21, 60, 30}, false},
        {1065, "Exit", {83, 57, 42, 19}, false},
        {1083, "Burn Defaults\n  to Scanner", {32, 0, 60, 22}, false},
        {1084, "Turn Scanner\nOFF", {115, 0, 60, 22}, false},
    };
    const DialogTemplate main = requireTemplate(137);
    ASSERT_EQ(main.controls.size(), std::size(buttons));
    QWidget dialog;
    const DialogUnits units = buildInto(&dialog, main);
    EXPECT_EQ(dialog.size(), units.size({210, 82}));
    for (const Expected& b : buttons) {
        auto* button = controlAs<QPushButton>(&dialog, b.id);
        ASSERT_NE(button, nullptr) << b.id;
        EXPECT_EQ(button->text(), QString::fromUtf8(b.text));
        EXPECT_EQ(button->geometry(), units.rect(b.units)) << b.id;
        EXPECT_EQ(button->isDefault(), b.isDefault) << b.id;
    }
    EXPECT_EQ(controlAs<QPushButton>(&dialog, 1083)->accessibleName(), "Burn Defaults to Scanner");
}

TEST(Templates, PopupsShowTheirPicturesFromTheProgram) {
    const std::pair<int, QSize> popups[] = {{140, {129, 51}}, {160, {180, 51}}};
    for (const auto& [id, pictureSize] : popups) {
        const std::unique_ptr<QWidget> popup = buildWidget(requireTemplate(id));
        const QList<QLabel*> pictures = popup->findChildren<QLabel*>();
        ASSERT_EQ(pictures.size(), 1) << id;
        EXPECT_EQ(pictures[0]->pixmap().size(), pictureSize) << id;
        EXPECT_TRUE(popup->windowFlags() & Qt::FramelessWindowHint) << id;
    }
}

TEST(Templates, PageControlsAreTheirPagesNotTheDialogs) {
    QWidget dialog;
    buildInto(&dialog, requireTemplate(129));
    auto* tabs = controlAs<QTabWidget>(&dialog, 1027);
    ASSERT_NE(tabs, nullptr);
    auto* page = new QWidget;
    buildInto(page, requireTemplate(139));
    tabs->addTab(page, "User");
    EXPECT_NE(control(page, 1004), nullptr);
    EXPECT_EQ(control(&dialog, 1004), nullptr);
}

TEST(DialogUnits, ConvertWithTheHandheldsRoundingFromBaseUnits) {
    const DialogUnits units(7, 15);
    EXPECT_EQ(units.x(4), 7);
    EXPECT_EQ(units.x(1), 2);  // 1.75
    EXPECT_EQ(units.x(2), 4);  // 3.5 rounds up
    EXPECT_EQ(units.y(8), 15);
    EXPECT_EQ(units.y(3), 6);  // 5.625
    EXPECT_EQ(units.rect({10, 8, 4, 16}), QRect(18, 15, 7, 30));
}

TEST(DialogUnits, DialogsGrowWithTheDesktopFont) {
    const QFont desktop = QApplication::font();
    const DialogTemplate main = requireTemplate(137);
    QSize sizes[2];
    const double points[2] = {9, 18};
    for (int i = 0; i < 2; ++i) {
        QFont font = desktop;
        font.setPointSizeF(points[i]);
        QApplication::setFont(font);
        QWidget dialog;
        buildInto(&dialog, main);
        sizes[i] = dialog.size();
        EXPECT_EQ(dialog.font().pointSizeF(), points[i]);  // 8 points is the desktop's size
    }
    QApplication::setFont(desktop);
    EXPECT_GT(sizes[1].width(), sizes[0].width() * 3 / 2);
    EXPECT_GT(sizes[1].height(), sizes[0].height() * 3 / 2);
}

}  // namespace
}  // namespace qm::ui
