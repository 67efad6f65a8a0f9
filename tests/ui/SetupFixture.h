#pragma once

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QString>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "FaultyFileSystem.h"
#include "PacketBytes.h"
#include "SimPackets.h"
#include "TempFolder.h"
#include "platform/Platform.h"
#include "platform/linux/DeviceRootFileSystem.h"
#include "platform/sim/RecordingDeviceLibrary.h"
#include "platform/sim/RecordingFeedback.h"
#include "platform/sim/RecordingKeyboard.h"
#include "platform/sim/ScriptedKeyState.h"
#include "platform/sim/SimEngine.h"
#include "platform/sim/SimSerialPort.h"
#include "platform/sim/VirtualClock.h"
#include "session/LoadSettings.h"
#include "session/StatusLine.h"
#include "state/ProcessState.h"
#include "tests/ui/RecordingBoxes.h"
#include "ui/ControlLookup.h"
#include "ui/DropDownList.h"
#include "ui/GuiQueue.h"
#include "ui/MessageBoxes.h"
#include "ui/UiServices.h"
#include "ui/UpDownControl.h"

namespace qm::test {

class RecordingStatus : public StatusLine {
public:
    void showStatus(std::string_view text) override {
        std::lock_guard lock(mutex_);
        texts.emplace_back(text);
    }
    std::vector<std::string> texts;

private:
    std::mutex mutex_;
};

// The length spins of Additional Parameter Setup: tab, edit, spin, field, parameter.
struct SpinCase {
    int page;  // tab index
    int edit;
    int spin;
    const char* field;
    uint8_t parameter;
};

inline const SpinCase kSpins[] = {
    {2, 1013, 1014, "code39Length1", 18},  {2, 1017, 1018, "code39Length2", 19},
    {3, 1015, 1029, "msiLength1", 30},     {3, 1017, 1030, "msiLength2", 31},
    {4, 1018, 1029, "i2of5Length1", 22},   {4, 1019, 1030, "i2of5Length2", 23},
    {5, 1036, 1037, "d2of5Length1", 20},   {5, 1040, 1041, "d2of5Length2", 21},
    {5, 1034, 1035, "code93Length1", 26},  {5, 1038, 1039, "code93Length2", 27},
    {6, 1036, 1037, "codabarLength1", 24}, {6, 1039, 1040, "codabarLength2", 25},
};

// A handheld in virtual time with the shipped profiles in a device root of its own, the link
// open on a simulated engine, LastUser.cfg loaded: what the setup dialog's pages work on.
class SetupFixture : public ::testing::Test {
protected:
    SetupFixture() {
        prepareDeviceRoot(root_.path(), std::filesystem::path(QM_SOURCE_DIR) / "resources");
    }

    void SetUp() override {
        ASSERT_EQ(loadSettings(state, "LastUser.cfg"), 1);
        ASSERT_EQ(state.link.openPort(u"COM3:"), 1);
        engine.clearReceived();
    }

    std::vector<Bytes> packetsReceived() { return packetsReceivedBy(engine); }

    std::string savedProfileText() const {
        std::ifstream file(root_.path() / "Program Files/Quillmark/LastUser.cfg");
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
    // What the active profile holds now, read into a fresh process.
    std::unique_ptr<ProcessState> savedProfile() {
        auto reader = std::make_unique<ProcessState>(platform);
        EXPECT_EQ(loadSettings(*reader, "LastUser.cfg"), 1);
        return reader;
    }

    static void click(QWidget* page, int id) { ui::controlAs<QCheckBox>(page, id)->click(); }
    static void closeListOn(QWidget* page, int id, const QString& text) {
        auto* list = ui::controlAs<ui::DropDownList>(page, id);
        ASSERT_NE(list, nullptr) << id;
        const int index = list->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        list->setCurrentIndex(index);
        emit list->listClosed();
    }
    static void step(QWidget* page, int spinId, int delta) {
        ui::controlAs<ui::UpDownControl>(page, spinId)->step(delta);
    }

    sim::VirtualClock clock;
    sim::SimEngine engine;
    sim::SimSerialPortOpener opener{clock, engine};
    sim::RecordingKeyboard keyboard;
    sim::RecordingFeedback feedback{clock};
    sim::ScriptedKeyState keys{clock};
    sim::RecordingDeviceLibrary device;

private:
    TempFolder root_{"qm-setup"};

protected:
    FaultyFileSystem files{root_.path()};
    Platform platform{clock, opener, &files, &keyboard, &keys, &feedback, &device};
    ProcessState state{platform};
    RecordingBoxes boxes;
    ui::GuiQueue queue;
    ui::UiServices services{boxes, queue};
    RecordingStatus status;
};

}  // namespace qm::test
