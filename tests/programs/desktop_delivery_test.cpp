// The wedge's delivery on a desktop with the portals, against a stand-in portal on a private
// session bus: the paths a session takes, the shortcuts bound with the profile's keys, and the
// control interface's announcements following the wedge's state.
#include <gtest/gtest.h>

#include <QDBusMessage>
#include <QElapsedTimer>

#include "apps/desktop/BusNames.h"
#include "apps/wedge_common/DesktopDelivery.h"
#include "desktop/PrivateBus.h"
#include "desktop/StandInPortal.h"
#include "platform/Platform.h"
#include "platform/sim/SimEngine.h"
#include "platform/sim/SimSerialPort.h"
#include "platform/sim/VirtualClock.h"
#include "state/ProcessState.h"
#include "tests/RequiredTools.h"
#include "tests/TempFolder.h"
#include "ui/app/DeliveryStatus.h"

namespace qm::test {
namespace {

using app::DesktopDelivery;

// Records the PropertiesChanged the wedge announces.
class PropertiesWatch : public QObject {
    Q_OBJECT
public:
    QList<QVariantMap> changes;
public slots:
    void changed(const QString&, const QVariantMap& properties, const QStringList&) {
        changes.append(properties);
    }
};

class Delivery : public ::testing::Test {
protected:
    void SetUp() override {
        QM_SKIP_UNLESS_TOOLS(bus.running(), "dbus-daemon to run a private bus");
        portal = std::make_unique<StandInPortal>(bus.address(), StandInPortal::Options{});
        ASSERT_TRUE(portal->serving());
        state.scanSettings.scanKeyName = "F3";
        state.scanSettings.targetKeyName = "F4";
    }

    // A Wayland session here: no compositor to connect to, no /dev/uinput, only the portals.
    std::unique_ptr<DesktopDelivery> open(const char* connection,
                                          app::SessionEnvironment environment = {"wayland", "",
                                                                                 ""}) {
        return std::make_unique<DesktopDelivery>(
            DesktopDelivery::Setup{app::InputChoice::Automatic, environment, root.path(),
                                   desktop::kWedgeSimService},
            bus.connect(connection), clock, [this] { return &state; }, board);
    }

    QStringList boundTriggers() {
        QStringList triggers;
        for (const auto& shortcut : portal->seen().shortcuts)
            triggers << shortcut.properties.value("preferred_trigger").toString();
        return triggers;
    }

    bool says(const std::string& text, const std::string& part) {
        return text.find(part) != std::string::npos;
    }

    PrivateBus bus;
    std::unique_ptr<StandInPortal> portal;
    TempFolder root{"qm-delivery"};
    sim::VirtualClock clock;
    sim::SimEngine engine;
    sim::SimSerialPortOpener serial{clock, engine};
    Platform platform{clock, serial};
    ProcessState state{platform};
    ui::DeliveryStatusBoard board;
};

TEST_F(Delivery, AWaylandSessionTypesThroughThePortalOnceTheDesktopAllowsIt) {
    const auto delivery = open("wedge");
    EXPECT_FALSE(board.status().canType);
    EXPECT_TRUE(says(board.status().typing, "Waiting for the desktop to allow typing"));
    ASSERT_TRUE(spinUntil([&] { return board.status().canType; }));
    EXPECT_EQ(board.status().typing,
              "Bar codes are typed through the desktop's remote desktop portal.");

    delivery->keyboard()->inject(0x41, KeyDownSilent);
    delivery->keyboard()->inject(0x41, KeyUpSilent);
    delivery->keyboard()->flush();
    EXPECT_TRUE(spinUntil([&] { return portal->seen().keysyms.size() >= 2; }));
    EXPECT_EQ(board.status().lostDecodes, 0);
}

TEST_F(Delivery, TheShortcutsAreBoundWithTheProfilesKeysAndBoundAgainWhenTheyChange) {
    const auto delivery = open("wedge");
    delivery->started();
    ASSERT_TRUE(spinUntil([&] {
        return boundTriggers() == QStringList{"F3", "F4"};
    })) << boundTriggers().join(",").toStdString();
    ASSERT_TRUE(
        spinUntil([&] { return says(board.status().triggers, "the desktop's global shortcuts"); }));
    EXPECT_TRUE(says(board.status().triggers,
                     "key bindings and scripts on the session bus (org.quillmark.WedgeSim)"));
    EXPECT_TRUE(board.status().hasTriggers);

    state.scanSettings.scanKeyName = "F5";
    delivery->triggerKeysChanged();
    EXPECT_TRUE(spinUntil([&] {
        return boundTriggers() == QStringList{"F5", "F4"};
    })) << boundTriggers().join(",").toStdString();
    delivery->stopped();
}

TEST_F(Delivery, TheBusHearsOfScanningAsItChangesNotAtTheNextPoll) {
    const auto delivery = open("wedge");
    state.ScanningEnabled = 1;
    delivery->started();
    PropertiesWatch watch;
    ASSERT_TRUE(bus.connect("client").connect(
        desktop::kWedgeSimService, desktop::kWedgePath, desktop::kPropertiesInterface,
        "PropertiesChanged", &watch, SLOT(changed(QString, QVariantMap, QStringList))));
    QElapsedTimer timer;
    timer.start();
    state.ScanningEnabled = 0;
    ASSERT_TRUE(spinUntil([&] { return !watch.changes.isEmpty(); }));
    EXPECT_LT(timer.elapsed(), 1000);  // the poll for the engine's line comes every 2 s
    EXPECT_EQ(watch.changes.first().value("ScanningEnabled"), QVariant(false));
    delivery->stopped();
}

TEST_F(Delivery, ASecondWedgeOnTheSameNameSaysItsControlInterfaceIsOff) {
    const auto first = open("wedge");
    ui::DeliveryStatusBoard otherBoard;
    DesktopDelivery second(
        {app::InputChoice::Automatic, {"wayland", "", ""}, root.path(), desktop::kWedgeSimService},
        bus.connect("second"), clock, [this] { return &state; }, otherBoard);
    EXPECT_TRUE(says(otherBoard.status().triggers,
                     "The control interface is off: another program owns "
                     "org.quillmark.WedgeSim on the session bus."))
        << otherBoard.status().triggers;
}

TEST_F(Delivery, AnXSessionWithoutItsDisplayHasNoWayToType) {
    const auto delivery = open("wedge", {"x11", "", ":nowhere"});
    EXPECT_FALSE(board.status().canType);
    EXPECT_EQ(board.status().typing,
              "Bar codes cannot be typed into other applications: the X display cannot be "
              "opened or has no XTest. The README's \"Desktops\" section (man quillmark) says "
              "what to do.");
    delivery->keyboard()->inject(0x41, KeyDownSilent);
    delivery->keyboard()->inject(0x41, KeyUpSilent);
    delivery->keyboard()->flush();
    EXPECT_TRUE(spinUntil([&] { return board.status().lostDecodes == 1; }));
}

}  // namespace
}  // namespace qm::test

#include "desktop_delivery_test.moc"
