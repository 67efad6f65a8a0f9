#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <sstream>
#include <thread>

#include "SetupFixture.h"
#include "engine/ParameterExchange.h"
#include "session/SettingChange.h"
#include "settings/FormatConfigText.h"
#include "settings/ParameterCatalogue.h"
#include "ui/app/QueuedProgress.h"
#include "ui/profiles/SetupProfiles.h"
#include "ui/setup/CodeTypePage.h"
#include "ui/setup/DefaultsPage.h"
#include "ui/setup/SetupDialog.h"

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
        // The table start-up reads, which every synchronisation compares with.
        for (uint8_t n = 0; n < 240; ++n) engine.setParameter(n, state.commandArray[n]);
        requestParameters(state.link, state.engineParamTable);
        dialog = std::make_unique<ui::CSetupDlg>(state, iconServices);
        ui::attachProfiles(*dialog, state, iconServices);
        engine.clearReceived();
    }
    QWidget* page() { return &dialog->defaultsPage(); }
    void choose(const QString& name) {
        ui::controlAs<QComboBox>(page(), 1055)->setCurrentText(name);
    }
    void press(int id) { ui::controlAs<QPushButton>(page(), id)->click(); }
    QString selected() { return ui::controlAs<QComboBox>(page(), 1055)->currentText(); }
    QString statusText() { return ui::controlAs<QLineEdit>(dialog.get(), 1039)->text(); }
    std::string fileOf(const char* name) {
        ProcessState reader(platform);
        EXPECT_EQ(loadSettings(reader, name), 1) << name;
        return formatConfigText(reader.scanSettings, reader.commandArray);
    }

    BoxesWithIcons iconBoxes;
    ui::UiServices iconServices{iconBoxes, queue};
    std::unique_ptr<ui::CSetupDlg> dialog;
};

TEST_F(DefaultsPage, SaveThenLoadBringsTheOldValueBackToPagesAndEngine) {
    choose("User Config 1");
    press(1051);
    EXPECT_EQ(fileOf("User1.cfg"), formatConfigText(state.scanSettings, state.commandArray));
    EXPECT_EQ(statusText(), "User configuration saved.");

    changeCheckBox(state, nullptr, *findCatalogueEntry("enableCode93"), true);
    dialog->applySettingsToPages();
    state.engineParamTable[18] = 0;  // so that the length differs from the start-up table
    engine.clearReceived();
    press(1052);

    auto* code93 = ui::controlAs<QCheckBox>(&dialog->codeTypePage(), 1041);
    EXPECT_FALSE(code93->isChecked());
    // The synchronisation sends what differs from the start-up table: the length, not Code 93.
    const auto sent = packetsReceived();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), paramSendPacket(18, state.commandArray[18])), 1);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), paramSendPacket(9, 0)), 0);
    EXPECT_EQ(statusText(), "User configuration loaded.");
    EXPECT_EQ(selected(), "User Config 1");
    EXPECT_TRUE(iconBoxes.shown.empty());
}

TEST_F(DefaultsPage, MissingProfileShowsItsBoxAndKeepsTheSelection) {
    choose("User Config 3");
    press(1052);
    EXPECT_EQ(iconBoxes.shown,
              (std::vector<Box>{{"User Config 3 does not exist.", ui::BoxIcon::Exclamation}}));
    EXPECT_EQ(statusText(), "Loading user configuration...");
    EXPECT_EQ(selected(), "User Config 3");
    EXPECT_FALSE(ui::control(page(), 1051)->isHidden());
}

TEST_F(DefaultsPage, UnreadableProfileIsToldInItsBoxAndOnTheLog) {
    std::ofstream(platform.files->displayPath("\\Program Files\\Quillmark\\User2.cfg")) << "1 F3";
    std::ostringstream log;
    iconServices.log = &log;
    choose("User Config 2");
    press(1052);
    ASSERT_EQ(iconBoxes.shown.size(), 1u);
    EXPECT_EQ(iconBoxes.shown[0].icon, ui::BoxIcon::Exclamation);
    QString text = iconBoxes.shown[0].text;
    EXPECT_TRUE(text.startsWith("User Config 2 could not be read: line 1: the file ends"))
        << text.toStdString();
    EXPECT_EQ(log.str(), "tests_ui: " + text.replace('\n', ' ').toStdString() + "\n");
}

TEST_F(DefaultsPage, ProgressFromTheEngineThreadReachesTheBar) {
    QPointer<ui::CProgressDlg> shown;
    std::vector<int> positions;
    ui::QueuedProgressFactory dialogs(queue, nullptr, [&](ui::CProgressDlg& dialog) {
        shown = &dialog;
        QObject::connect(&dialog, &ui::CProgressDlg::positionShown,
                         [&](int p) { positions.push_back(p); });
    });
    std::thread engineWork([&] {
        auto progress = dialogs.createProgressDialog();
        progress->setPosition(18);
        progress->setPosition(85);
    });
    engineWork.join();
    queue.drain();
    EXPECT_EQ(positions, (std::vector<int>{18, 85}));
    // The reporter is gone, and with it the dialog.
    EXPECT_TRUE(shown.isNull());
}

}  // namespace
}  // namespace qm::test
