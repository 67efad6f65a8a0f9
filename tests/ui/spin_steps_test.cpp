#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include "SetupFixture.h"
#include "platform/linux/RealClock.h"
#include "settings/SettingsFields.h"
#include "ui/additional/AdditionalSetupDialog.h"
#include "ui/setup/ScannerPage.h"

namespace qm::test {
namespace {

void press(QWidget* target, Qt::Key key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

std::vector<Bytes> sends(uint8_t parameter, const std::vector<int>& values) {
    std::vector<Bytes> packets;
    for (int v : values) packets.push_back(paramSendPacket(parameter, static_cast<uint8_t>(v)));
    return packets;
}

class SpinSteps : public SetupFixture {
protected:
    void SetUp() override {
        SetupFixture::SetUp();
        engine.faults().replyDelayMicros = 50'000;  // a real engine's pace, in virtual time
    }
    // Keys that reach `target` while the next step talks to the engine, as an accessibility
    // client hands them back from the event loop that runs beside that work.
    void pressDuringNextEngineWork(QWidget* target, std::vector<Qt::Key> keys) {
        queue.post([target, keys] {
            for (Qt::Key key : keys) press(target, key);
        });
    }
};

// Ten Down presses against a slow engine, nine of them while the first is at work.
TEST_F(SpinSteps, TimesStepFromWhatTheBoxShowsWhenPressesComeFasterThanTheEngine) {
    struct Case {
        int spin, edit;
        uint8_t parameter;
        std::string ScanSettings::*text;
        SettingInt ScanSettings::*index;
    };
    const Case cases[] = {
        {1029, 1012, 136, &ScanSettings::scanTimeText, &ScanSettings::scanTimeIndex},
        {1030, 1014, 237, &ScanSettings::targetTimeText, &ScanSettings::targetTimeIndex},
    };
    for (const Case& c : cases) {
        state.scanSettings.*c.index = 41;
        state.scanSettings.*c.text = "4.1";
        ui::CScannerPage page(state, &status, services);
        page.fill(state.scanSettings);
        auto* edit = ui::controlAs<QLineEdit>(&page, c.edit);
        auto* spin = ui::controlAs<ui::UpDownControl>(&page, c.spin);
        engine.clearReceived();

        pressDuringNextEngineWork(edit, std::vector<Qt::Key>(9, Qt::Key_Down));
        press(edit, Qt::Key_Down);

        EXPECT_EQ(packetsReceived(), sends(c.parameter, {40, 39, 38, 37, 36, 35, 34, 33, 32, 31}));
        EXPECT_EQ(edit->text(), "3.1");
        EXPECT_EQ(spin->position(), 31);
        EXPECT_EQ(engine.parameter(c.parameter), 31);
        const auto saved = savedProfile();
        EXPECT_EQ(saved->scanSettings.*c.text, "3.1");
        EXPECT_EQ(saved->scanSettings.*c.index, 31);
        engine.clearReceived();
        press(spin, Qt::Key_Up);
        EXPECT_EQ(packetsReceived(), sends(c.parameter, {32}));
        EXPECT_EQ(edit->text(), "3.2");
    }
}

TEST_F(SpinSteps, EveryLengthAgreesWithItsEditTheEngineAndTheFileAfterABurst) {
    for (const SpinCase& s : kSpins) {
        findSettingsField(s.field)->intIn(state.scanSettings) = 50;
        ui::CAdditionalSetupDlg dialog(state, &status, services);
        QWidget* page = dialog.pages()[static_cast<size_t>(s.page)];
        auto* spin = ui::controlAs<ui::UpDownControl>(page, s.spin);
        engine.clearReceived();

        pressDuringNextEngineWork(spin, {Qt::Key_Up, Qt::Key_Up, Qt::Key_Down, Qt::Key_Up});
        press(spin, Qt::Key_Up);

        EXPECT_EQ(packetsReceived(), sends(s.parameter, {51, 52, 53, 52, 53})) << s.field;
        EXPECT_EQ(ui::controlAs<QLineEdit>(page, s.edit)->text(), "53") << s.field;
        EXPECT_EQ(spin->position(), 53) << s.field;
        EXPECT_EQ(engine.parameter(s.parameter), 53) << s.field;
        const auto saved = savedProfile();
        EXPECT_EQ(findSettingsField(s.field)->intIn(saved->scanSettings), 53) << s.field;
        EXPECT_EQ(saved->commandArray[s.parameter], 53) << s.field;
    }
}

// The engine answers in 150 ms of real time; the arrow is held for over a second.
TEST_F(SpinSteps, AHeldArrowRepeatsAtTheEnginesPaceAndStopsWhenLetGo) {
    linux_platform::RealClock realClock;
    sim::SimSerialPortOpener pacedLine{realClock, engine};
    Platform paced{realClock, pacedLine, &files, &keyboard, &keys, &feedback, &device};
    ProcessState pacedState{paced};
    ASSERT_EQ(loadSettings(pacedState, "LastUser.cfg"), 1);
    ASSERT_EQ(pacedState.link.openPort(u"COM3:"), 1);
    engine.faults().replyDelayMicros = 150'000;
    ui::CScannerPage page(pacedState, &status, services);
    page.fill(pacedState.scanSettings);
    auto* spin = ui::controlAs<ui::UpDownControl>(&page, 1029);
    engine.clearReceived();

    QTest::mousePress(spin->upArrow(), Qt::LeftButton);
    QTest::qWait(1200);
    QTest::mouseRelease(spin->upArrow(), Qt::LeftButton);
    const size_t whenLetGo = packetsReceived().size();
    QTest::qWait(500);

    std::vector<Bytes> sent = packetsReceived();
    EXPECT_EQ(sent.size(), whenLetGo);
    // A change the engine is slow to acknowledge may go out again; it is still one step.
    sent.erase(std::unique(sent.begin(), sent.end()), sent.end());
    EXPECT_GE(sent.size(), 2u);   // the press, then repeats once the delay has passed
    EXPECT_LE(sent.size(), 10u);  // at most one a repeat interval, each after the last ended
    std::vector<int> expected;
    for (int v = 31; expected.size() < sent.size(); ++v) expected.push_back(v);
    EXPECT_EQ(sent, sends(136, expected));
    EXPECT_EQ(spin->position(), expected.back());
    EXPECT_EQ(pacedState.scanSettings.scanTimeIndex, expected.back());
    EXPECT_EQ(engine.parameter(136), expected.back());
}

}  // namespace
}  // namespace qm::test
