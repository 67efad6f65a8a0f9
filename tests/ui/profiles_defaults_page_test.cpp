#include <QComboBox>
#include <QProgressBar>
#include <QPushButton>
#include <thread>

#include "SetupFixture.h"
#include "engine/ParameterExchange.h"
#include "session/SaveSettings.h"
#include "session/SettingChange.h"
#include "settings/FormatConfigText.h"
#include "settings/ParameterCatalogue.h"
#include "ui/TemplateBuilder.h"
#include "ui/TemplateLoader.h"
#include "ui/profiles/DefaultsPage.h"
#include "ui/profiles/SyncProgressWindow.h"

namespace qm::test {
namespace {

struct Box {
    QString text;
    ui::BoxIcon icon;
    bool operator==(const Box&) const = default;
};

class BoxesWithIcons : public ui::MessageBoxes {
public:
    void showMessage(QWidget*, const QString& text, const QString&, ui::BoxIcon icon) override {
        shown.push_back({text, icon});
    }
    std::vector<Box> shown;
};

class DefaultsPage : public SetupFixture {
protected:
    void SetUp() override {
        SetupFixture::SetUp();
        readEngineTable();
        page = ui::buildWidget(ui::requireTemplate(142));
        ui::SetupPageHooks hooks{&status, [this] { ++applied; }, [this] { ++refreshed; }};
        ui::attachDefaultsPage(page.get(), state, iconServices, hooks);
    }
    // The table start-up reads, which every synchronisation compares with.
    void readEngineTable() {
        for (uint8_t n = 0; n < 240; ++n) engine.setParameter(n, state.commandArray[n]);
        qm::requestParameters(state.link, state.engineParamTable);
        engine.clearReceived();
    }
    void choose(const QString& name) {
        ui::controlAs<QComboBox>(page.get(), 1055)->setCurrentText(name);
    }
    void press(int id) { ui::controlAs<QPushButton>(page.get(), id)->click(); }
    bool saveShown() const { return !ui::controlAs<QPushButton>(page.get(), 1051)->isHidden(); }
    QString selected() const { return ui::controlAs<QComboBox>(page.get(), 1055)->currentText(); }
    std::string fileOf(const char* name) {
        ProcessState reader(platform);
        EXPECT_EQ(loadSettings(reader, name), 1) << name;
        return formatConfigText(reader.scanSettings, reader.commandArray);
    }
    const CatalogueEntry& entry(std::string_view field) { return *findCatalogueEntry(field); }

    BoxesWithIcons iconBoxes;
    ui::UiServices iconServices{iconBoxes, queue};
    std::unique_ptr<QWidget> page;
    int applied = 0;
    int refreshed = 0;
};

TEST_F(DefaultsPage, SaveIsHiddenForFactoryDefaultsOutsideServiceMode) {
    EXPECT_EQ(selected(), "Factory Defaults");
    EXPECT_FALSE(saveShown());
    const struct {
        int serviceMode;
        const char* name;
        bool shown;
    } cases[] = {{0, "User Config 2", true},
                 {0, "Factory Defaults", false},
                 {1, "User Config 1", true},
                 {1, "Factory Defaults", true}};
    for (const auto& c : cases) {
        state.ServiceMode = c.serviceMode;
        choose("User Config 4");
        choose(c.name);
        EXPECT_EQ(saveShown(), c.shown) << c.name << " service " << c.serviceMode;
    }
}

TEST_F(DefaultsPage, SaveThenLoadBringsTheOldValueBackToPagesAndEngine) {
    choose("User Config 1");
    press(1051);
    EXPECT_EQ(fileOf("User1.cfg"), formatConfigText(state.scanSettings, state.commandArray));
    EXPECT_EQ(status.texts.back(), "User configuration saved.");

    changeCheckBox(state, nullptr, entry("enableCode93"), true);
    // A length whose start-up value is not the engine's, so the load must send it back.
    state.engineParamTable[18] = 0;
    engine.clearReceived();
    press(1052);

    EXPECT_EQ(state.scanSettings.enableCode93, 0);
    EXPECT_EQ(applied, 1);
    EXPECT_EQ(refreshed, 1);
    // Code 93 is back at the value the engine had at start-up, so only the length differs;
    // 13 goes out whenever Code 39 is on, the RSS options always.
    const auto extended = [&](uint8_t number, const SettingInt& field) {
        return paramSendPacket(number, uint8_t(field.load()), Bank::Extended);
    };
    EXPECT_EQ(
        packetsReceived(),
        (std::vector<Bytes>{paramSendPacket(13, 0), paramSendPacket(18, state.commandArray[18]),
                            extended(0x52, state.scanSettings.enableRss),
                            extended(0x53, state.scanSettings.rss14Limited),
                            extended(0x54, state.scanSettings.rss14Extended)}));
    EXPECT_EQ(status.texts.back(), "User configuration loaded.");
    EXPECT_EQ(selected(), "User Config 1");
    EXPECT_TRUE(iconBoxes.shown.empty());
}

TEST_F(DefaultsPage, MissingProfileShowsItsBoxAndKeepsTheSelection) {
    choose("User Config 3");
    press(1052);
    EXPECT_EQ(iconBoxes.shown,
              (std::vector<Box>{{"User Config 3 does not exist.", ui::BoxIcon::Exclamation}}));
    EXPECT_EQ(applied, 0);
    EXPECT_EQ(refreshed, 1);
    EXPECT_EQ(selected(), "User Config 3");
}

TEST_F(DefaultsPage, ProgressFromTheEngineThreadReachesTheBar) {
    ui::SyncProgressWindow progress(queue, nullptr);
    std::thread engineWork([&] { progress.setPosition(85); });
    engineWork.join();
    queue.drain();
    EXPECT_EQ(progress.position(), 85);
    auto* bar = ui::controlAs<QProgressBar>(progress.window(), 1069);
    EXPECT_EQ(bar->maximum(), 85);
    progress.close();
    EXPECT_TRUE(progress.window()->isHidden());
}

}  // namespace
}  // namespace qm::test
