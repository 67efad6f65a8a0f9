#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <iterator>
#include <sstream>

#include "SetupFixture.h"
#include "engine/Packets.h"
#include "settings/FormatConfigText.h"
#include "ui/setup/CodeTypePage.h"
#include "ui/setup/DataFormatPage.h"
#include "ui/setup/DefaultsPage.h"
#include "ui/setup/ScannerPage.h"
#include "ui/setup/SetupDialog.h"
#include "ui/setup/UserPage.h"

namespace qm::test {
namespace {

using ui::control;

const std::vector<std::string> kUpdated{"Updating settings...", "Settings Updated."};

class SetupDialog : public SetupFixture {
protected:
    void SetUp() override {
        SetupFixture::SetUp();
        // Never shown: Qt's raster painting runs on threads of its own that the thread
        // sanitizer cannot follow, and what is tested here is what the controls do.
        dialog = std::make_unique<ui::CSetupDlg>(state, services);
        QObject::connect(dialog.get(), &QDialog::finished, [this] { ++endings; });
        engine.clearReceived();
    }
    QWidget* user() { return &dialog->userPage(); }
    QWidget* scanner() { return &dialog->scannerPage(); }
    QWidget* dataFormat() { return &dialog->dataFormatPage(); }
    QString statusText() { return ui::controlAs<QLineEdit>(dialog.get(), 1039)->text(); }
    bool shown(QWidget* page, int id) { return !control(page, id)->isHidden(); }
    bool enabled(QWidget* page, int id) { return control(page, id)->isEnabled(); }

    std::unique_ptr<ui::CSetupDlg> dialog;
    int endings = 0;
};

TEST_F(SetupDialog, OpensOnUserWithTheFileReloadedAndReady) {
    state.scanSettings.scanTimeText = "9.9";  // in memory only: the dialog reloads the file
    ui::CSetupDlg reopened(state, services);
    auto* tabs = ui::controlAs<QTabWidget>(&reopened, 1027);
    QStringList captions;
    for (int i = 0; i < tabs->count(); ++i) captions << tabs->tabText(i);
    EXPECT_EQ(captions, (QStringList{"User", "Scanner", "Data Format", "Code Type", "Defaults"}));
    EXPECT_EQ(tabs->currentWidget(), &reopened.userPage());
    EXPECT_EQ(ui::controlAs<QLineEdit>(&reopened, 1039)->text(), "Ready...");
    EXPECT_EQ(ui::controlAs<QLineEdit>(&reopened.scannerPage(), 1012)->text(), "3.0");
    EXPECT_EQ(ui::controlAs<QComboBox>(&reopened.defaultsPage(), 1055)->currentText(),
              "Factory Defaults");
    EXPECT_TRUE(control(&reopened.defaultsPage(), 1051)->isHidden());
    reopened.tabControl().setPageEnabled(2, false);
    tabs->setCurrentIndex(1);
    tabs->setCurrentIndex(2);
    EXPECT_EQ(tabs->currentIndex(), 1);
}

TEST_F(SetupDialog, DataFormatListsSendOnlyAChangedTextAndShowTheFormatsParts) {
    struct Case {
        int list;
        const char* text;
        std::vector<Bytes> packets;
        bool prefix, suffix1, suffix2;
    };
    const Case cases[] = {
        {1013, "<Data>", {}, false, false, false},
        {1013, "<Prefix><Data><Suffix2>", {paramSendPacket(235, 6)}, true, false, true},
        {1013, "<Prefix><Data><Suffix1><Suffix2>", {paramSendPacket(235, 7)}, true, true, true},
        {1016, "Tab", {paramSendPacket(105, 9)}, true, true, true},
        {1016, "Tab", {}, true, true, true},
        {1017, "<LF><CR>", {paramSendPacket(104, 13)}, true, true, true},
        {1018, "#", {paramSendPacket(106, 35)}, true, true, true},
        {1015, "Symbol", {paramSendPacket(45, 2)}, true, true, true},
    };
    for (const Case& c : cases) {
        engine.clearReceived();
        const QString before = statusText();
        closeListOn(dataFormat(), c.list, c.text);
        EXPECT_EQ(packetsReceived(), c.packets) << c.text;
        EXPECT_EQ(statusText(), c.packets.empty() ? before : "Settings Updated.") << c.text;
        EXPECT_EQ(shown(dataFormat(), 1016), c.prefix) << c.text;
        EXPECT_EQ(shown(dataFormat(), 1017), c.suffix1) << c.text;
        EXPECT_EQ(shown(dataFormat(), 1018), c.suffix2) << c.text;
        EXPECT_EQ(enabled(dataFormat(), 1073), c.suffix1) << c.text;
    }
    EXPECT_EQ(state.linkSettings.codeIdMode(), 1u);
    EXPECT_EQ(state.linkSettings.dataFormat(), 7);
    const auto saved = savedProfile();
    EXPECT_EQ(saved->scanSettings.suffix2Text, "#");
    EXPECT_EQ(saved->commandArray[235], 7);
}

TEST_F(SetupDialog, TwoButtonControlShowsItsControlsSends237AndRefusesDuplicateKeys) {
    ui::controlAs<ui::UpDownControl>(scanner(), 1030)->setPosition(14);
    step(scanner(), 1030, 1);  // a target time of 1.5 s, for the engine's own aiming
    engine.clearReceived();
    click(user(), 1003);  // on; scan key F3, target key F4
    EXPECT_EQ(packetsReceived(), (std::vector<Bytes>{paramSendPacket(237, 0)}));
    EXPECT_TRUE(shown(user(), 1005));
    EXPECT_TRUE(enabled(user(), 1063));
    EXPECT_TRUE(shown(scanner(), 1022));
    EXPECT_FALSE(shown(scanner(), 1030));
    EXPECT_FALSE(shown(scanner(), 1014));
    EXPECT_FALSE(enabled(scanner(), 1071));

    closeListOn(user(), 1004, "F4");
    closeListOn(user(), 1005, "F3");
    EXPECT_EQ(boxes.shown,
              (std::vector<ShownBox>{{"Cannot be duplicate of Target Key.", "Scan Key Error"},
                                     {"Cannot be duplicate of Scan Key.", "Target Key Error"}}));
    EXPECT_EQ(ui::controlAs<QComboBox>(user(), 1004)->currentText(), "F3");
    EXPECT_EQ(savedProfile()->scanSettings.scanKeyName, "F3");

    ui::controlAs<QPushButton>(scanner(), 1022)->click();  // aiming
    engine.clearReceived();
    click(user(), 1003);  // off: aiming ends, 237 is the target time again
    EXPECT_EQ(packetsReceived(), (std::vector<Bytes>{bytesOf(AIM_OFF), paramSendPacket(237, 15)}));
    EXPECT_EQ(state.AimingActive.load(), 0);
    EXPECT_EQ(savedProfile()->commandArray[237], 15);
    EXPECT_FALSE(shown(user(), 1005));
    EXPECT_TRUE(shown(scanner(), 1030));

    closeListOn(user(), 1004, "F4");  // one-button: the target key's name is free
    EXPECT_EQ(savedProfile()->scanSettings.scanKeyName, "F4");
    boxes.shown.clear();
    click(user(), 1003);
    EXPECT_FALSE(dialog->exitSetup());
    EXPECT_EQ(boxes.shown,
              (std::vector<ShownBox>{
                  {"Target Key must not be\nduplicate of Scan Key.", "Scan Key Error"},
                  {"Scan Key & Target Key\nmust not be the same.", "Scan Key Error"}}));
    EXPECT_EQ(endings, 0);
    click(user(), 1003);
    EXPECT_TRUE(dialog->exitSetup());
    EXPECT_EQ(endings, 1);
}

TEST_F(SetupDialog, TheTargetButtonSwitchesTheAimingBeamOnAndOff) {
    click(user(), 1003);
    engine.clearReceived();
    auto* target = ui::controlAs<QPushButton>(scanner(), 1022);
    target->click();
    EXPECT_EQ(packetsReceived(), (std::vector<Bytes>{bytesOf(AIM_ON)}));
    EXPECT_EQ(state.AimingActive.load(), 1);
    EXPECT_EQ(state.AimStartTime.load(), clock.secondsSince1970());
    target->click();
    EXPECT_EQ(packetsReceived(), (std::vector<Bytes>{bytesOf(AIM_ON), bytesOf(AIM_OFF)}));
    EXPECT_EQ(state.AimingActive.load(), 0);
    EXPECT_EQ(state.AimStartTime.load(), 0);
}

TEST_F(SetupDialog, ScanTimeSpinStepsWithinTheTimeTable) {
    struct Case {
        int from;
        int delta;
        const char* shownText;
        bool sent;
    };
    const Case cases[] = {{0, -1, "0.0", false}, {29, 1, "3.0", true}, {99, 1, "9.9", false}};
    for (const Case& c : cases) {
        ui::controlAs<ui::UpDownControl>(scanner(), 1029)->setPosition(c.from);
        state.scanSettings.scanTimeText = std::string(c.shownText);
        const std::string before = savedProfileText();
        engine.clearReceived();
        step(scanner(), 1029, c.delta);
        EXPECT_EQ(ui::controlAs<QLineEdit>(scanner(), 1012)->text(), c.shownText) << c.from;
        if (!c.sent) {
            EXPECT_TRUE(packetsReceived().empty()) << c.from;
            EXPECT_EQ(savedProfileText(), before) << c.from;
            continue;
        }
        EXPECT_EQ(packetsReceived(), (std::vector<Bytes>{paramSendPacket(136, 30)}));
        const auto saved = savedProfile();
        EXPECT_EQ(saved->scanSettings.scanTimeText, "3.0");
        EXPECT_EQ(saved->scanSettings.scanTimeIndex, 30);
        EXPECT_EQ(saved->commandArray[136], 30);
    }
}

TEST_F(SetupDialog, ATypedScanTimeCountsOnlyWhenTheSpinCouldShowIt) {
    auto* edit = ui::controlAs<QLineEdit>(scanner(), 1012);
    const struct {
        const char* typed;
        const char* shown;
        std::vector<Bytes> packets;
    } cases[] = {{"4.5", "4.5", {paramSendPacket(136, 45)}}, {"45", "4.5", {}}, {"4.5", "4.5", {}}};
    for (const auto& c : cases) {
        engine.clearReceived();
        edit->setText(c.typed);
        emit edit->editingFinished();
        EXPECT_EQ(edit->text(), c.shown) << c.typed;
        EXPECT_EQ(packetsReceived(), c.packets) << c.typed;
    }
    EXPECT_EQ(ui::controlAs<ui::UpDownControl>(scanner(), 1029)->position(), 45);
    EXPECT_EQ(savedProfile()->scanSettings.scanTimeIndex, 45);
}

TEST_F(SetupDialog, ScannerListsSendOnlyANewChoice) {
    struct Case {
        int list;
        const char* text;
        std::vector<Bytes> packets;
    };
    const Case cases[] = {
        {1038, "Wide", {}},
        {1038, "Narrow", {paramSendPacket(191, 181)}},
        {1038, "Wide", {paramSendPacket(191, 182)}},
        {1006, "3", {paramSendPacket(78, 3)}},
        {1006, "3", {}},
    };
    for (const Case& c : cases) {
        engine.clearReceived();
        closeListOn(scanner(), c.list, c.text);
        EXPECT_EQ(packetsReceived(), c.packets) << c.text;
    }
    EXPECT_EQ(savedProfile()->scanSettings.consecutiveReadIndex, 2);
}

TEST_F(SetupDialog, AFailedSendIsStillRecordedAndSaved) {
    sim::EngineFaults faults;
    faults.ctsNeverRises = true;
    engine.setFaults(faults);
    status.texts.clear();
    click(&dialog->codeTypePage(), 1041);  // Code 93 on
    EXPECT_EQ(statusText(), "Failed to update settings.");
    const auto saved = savedProfile();
    EXPECT_EQ(saved->scanSettings.enableCode93, 1);
    EXPECT_EQ(saved->commandArray[9], 1);
}

TEST_F(SetupDialog, ScanTestShowsTheDataInTheScanDataBox) {
    engine.placeBarcode({sim::Symbology::Code128, "QM-42"});
    ui::controlAs<QPushButton>(scanner(), 1021)->click();
    EXPECT_EQ(ui::controlAs<QLineEdit>(scanner(), 1025)->text(), "QM-42");
    engine.removeBarcode();
    ui::controlAs<QPushButton>(scanner(), 1021)->click();
    EXPECT_EQ(ui::controlAs<QLineEdit>(scanner(), 1025)->text(), "Failed to Scan!");
}

TEST_F(SetupDialog, ASaveThatFailsIsToldOnTheStatusLineAndWhenSetupEnds) {
    files.failWrites = true;
    step(scanner(), 1029, 1);
    queue.drain();
    EXPECT_EQ(statusText(), "Settings Updated, not saved.");
    click(&dialog->userPage(), 1008);
    queue.drain();
    EXPECT_EQ(statusText(), "Failed to save settings.");

    ui::controlAs<QPushButton>(dialog.get(), 1024)->click();
    EXPECT_EQ(endings, 1);
    EXPECT_EQ(boxes.shown,
              (std::vector<ShownBox>{{"Failed to save settings.\n\nThe settings in use "
                                      "last only until Quillmark ends.",
                                      "Quillmark"}}));
}

// Opening reloads the working profile: one that cannot be read is moved out of the way of
// the next change rather than written over.
TEST_F(SetupDialog, OpeningOverAnUnreadableWorkingProfileKeepsItAside) {
    const std::filesystem::path folder = files.displayPath("\\Program Files\\Quillmark");
    std::ofstream(folder / "LastUser.cfg") << "garbled";
    std::ostringstream log;
    services.log = &log;
    ui::CSetupDlg reopened(state, services);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text.toStdString(),
              "LastUser.cfg could not be read: line 1, field 0 (twoButtonControl): \"garbled\" is "
              "not a 32-bit decimal number.\nIt is kept as " +
                  (folder / "LastUser.cfg.unreadable").string() +
                  "; the next change saves the settings in use anew.");
    EXPECT_FALSE(log.str().empty());
    click(&reopened.codeTypePage(), 1041);
    EXPECT_EQ(savedProfileText(), formatConfigText(state.scanSettings, state.commandArray));
    std::ifstream kept(folder / "LastUser.cfg.unreadable");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "garbled");
}

}  // namespace
}  // namespace qm::test
