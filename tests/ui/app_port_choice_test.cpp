// Start-up and the menu with a port to choose: the chooser before the engine steps on a first
// start, the failure box that offers it, a change of port while running, and a start without
// windows whose failures go to the log alone.
#include <QApplication>
#include <QListWidget>
#include <set>
#include <sstream>

#include "engine/Packets.h"
#include "tests/PacketBytes.h"
#include "tests/SimPackets.h"
#include "tests/ui/WedgeAppFixture.h"
#include "ui/ControlLookup.h"
#include "ui/MenuBuilder.h"
#include "ui/app/PortChooser.h"

namespace qm::test {
namespace {

const std::string kAdapter = "/dev/serial/by-id/usb-Acme_Scan_Engine_0001-if00-port0";
const std::string kCable = "/dev/serial/by-id/usb-Acme_Serial_Cable_0002-if00-port0";

// The devices the chooser lists; what they are is the enumeration's own test.
class ListedDevices : public SerialDevices {
public:
    std::vector<SerialDevice> list() override {
        return {{kAdapter, "/dev/ttyUSB0", "Acme Scan Engine", true, ""},
                {kCable, "/dev/ttyUSB1", "Acme Serial Cable", true, ""}};
    }
    std::unique_ptr<SerialPortOpener> openerFor(const std::string&) override { return nullptr; }
};

// COM3 as the device root's link makes it: the simulated engine behind a kept device that
// works, no such device otherwise.
class KeptPort : public SerialPortOpener {
public:
    explicit KeptPort(SerialPortOpener& engine) : engine_(engine) {}
    std::unique_ptr<SerialPort> open(const std::u16string& name) override {
        return working.count(kept) ? engine_.open(name) : nullptr;
    }
    std::string lastFailure() const override {
        return working.count(kept) ? std::string() : "no such device";
    }
    std::string kept;
    std::set<std::string> working{kAdapter, kCable};

private:
    SerialPortOpener& engine_;
};

class PortChoiceAtStart : public WedgeAppFixture {
protected:
    void startUpWithChoice(bool showWindows = true) {
        state = std::make_unique<ProcessState>(keptPlatform);
        app = std::make_unique<ui::CScanWedgeApp>(*state, services);
        app->showWindows = showWindows;
        app->portChoice.devices = &devices;
        app->portChoice.current = [this] { return kept.kept; };
        app->portChoice.keep = [this](const std::string& path, std::string&) {
            kept.kept = path;
            return true;
        };
        services.log = &log;
        app->startUp();
    }

    // Answers the next chooser with the device in `row`, or Cancel for -1, noting what the
    // engine had heard by then. The watch goes with the test.
    void answerChooser(int row) {
        chooserWatch.disconnect();
        QObject::connect(&chooserWatch, &QTimer::timeout, [this, row] {
            auto* dialog = qobject_cast<ui::CPortDlg*>(QApplication::activeModalWidget());
            if (!dialog) return;
            chooserWatch.stop();
            packetsWhenChosen.push_back(packetsReceivedBy(engine).size());
            if (row < 0) return dialog->reject();
            ui::controlAs<QListWidget>(dialog, ui::CPortDlg::kPortList)->setCurrentRow(row);
            dialog->accept();
        });
        chooserWatch.start(5);
    }

    bool engineInitialised() {
        for (const auto& packet : engine.received())
            if (packet.bytes.size() > 1 && packet.bytes[1] == kOpParamRequest) return true;
        return false;
    }

    ListedDevices devices;
    KeptPort kept{serial};
    Platform keptPlatform{clock, kept, &files, &keyboard, &keys, &feedback, &device, &mutexes};
    std::ostringstream log;
    std::vector<size_t> packetsWhenChosen;
    QTimer chooserWatch;
};

TEST_F(PortChoiceAtStart, AFirstStartAsksForThePortBeforeTheEngineSteps) {
    answerChooser(1);
    startUpWithChoice();
    EXPECT_EQ(packetsWhenChosen, std::vector<size_t>{0});
    EXPECT_EQ(kept.kept, kCable);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(engineInitialised());
    EXPECT_FALSE(app->quitRequested());
}

TEST_F(PortChoiceAtStart, AFailingPortNamesItselfAndWhyAndOffersTheChooserBesideOk) {
    struct Case {
        const char* name;
        std::string kept;
        bool chooseAnother;
        const char* why;
    };
    const Case cases[] = {
        {"never chosen, chooser cancelled", "", false,
         "no serial port has been chosen for the scanner yet"},
        {"unplugged, OK", "/dev/serial/by-id/usb-Gone", false,
         "/dev/serial/by-id/usb-Gone: no such device"},
        {"unplugged, another chosen", "/dev/serial/by-id/usb-Gone", true,
         "/dev/serial/by-id/usb-Gone: no such device"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.shown.clear();
        boxes.offered.clear();
        engine.clearReceived();
        kept.kept = c.kept;
        boxes.chooseOffered = c.chooseAnother;
        if (c.kept.empty()) answerChooser(-1);
        if (c.chooseAnother) answerChooser(0);
        startUpWithChoice();
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text.section('\n', 0, 0), "CommPort failed to Open!");
        EXPECT_EQ(boxes.shown[0].text.section('\n', 2, 2), QString(c.why) + ".");
        EXPECT_EQ(boxes.shown[0].caption, "Quillmark");
        EXPECT_EQ(boxes.offered, std::vector<QString>{"Choose Port..."});
        EXPECT_EQ(app->quitRequested(), !c.chooseAnother);
        EXPECT_EQ(engineInitialised(), c.chooseAnother);
        if (!c.chooseAnother) {
            EXPECT_EQ(runEventLoop(), ui::CScanWedgeApp::kFailureExitCode);
        }
        app.reset();
        state.reset();
    }
}

TEST_F(PortChoiceAtStart, TheMenuChangesThePortAndInitialisesTheEngineAgain) {
    kept.kept = kAdapter;
    startUpWithChoice();
    ASSERT_TRUE(engineInitialised());
    engine.clearReceived();
    answerChooser(1);
    ui::menuCommand(app->frame(), ui::CScanWedgeApp::kSerialPortCommand)->trigger();
    EXPECT_EQ(packetsWhenChosen, std::vector<size_t>{0}) << "the port is let go before choosing";
    EXPECT_EQ(kept.kept, kCable);
    EXPECT_TRUE(engineInitialised());
    EXPECT_TRUE(state->link.isOpen());
    EXPECT_NE(state->link.threadHandle, nullptr);
    EXPECT_EQ(state->ScanningEnabled.load(), 1);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(PortChoiceAtStart, WithoutWindowsFailuresGoToTheLogAndNothingWaits) {
    // Any chooser shown would be cancelled and counted.
    answerChooser(-1);
    startUpWithChoice(false);
    EXPECT_TRUE(packetsWhenChosen.empty());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(app->frame()->isVisible());
    EXPECT_NE(log.str().find("CommPort failed to Open! (no serial port has been chosen for the "
                             "scanner yet)"),
              std::string::npos)
        << log.str();
    EXPECT_NE(log.str().find("without a window nobody can choose"), std::string::npos);
    EXPECT_EQ(runEventLoop(), ui::CScanWedgeApp::kFailureExitCode);
}

}  // namespace
}  // namespace qm::test
