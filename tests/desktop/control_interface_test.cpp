#include <gtest/gtest.h>

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QProcess>

#include "PrivateBus.h"
#include "apps/desktop/BusNames.h"
#include "apps/desktop/WedgeControl.h"
#include "platform/sim/VirtualClock.h"
#include "tests/RequiredTools.h"

namespace qm::test {
namespace {

using namespace qm::desktop;

constexpr uint8_t kScan = 0xEB;
constexpr uint8_t kTarget = 0xEC;

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

class ControlInterface : public ::testing::Test {
protected:
    void SetUp() override {
        QM_SKIP_UNLESS_TOOLS(bus.running(), "dbus-daemon to run a private bus");
        control = std::make_unique<WedgeControlService>(bus.connect("wedge"), kWedgeSimService,
                                                        keys, [this] { return status; });
        ASSERT_TRUE(control->isActive()) << control->problem().toStdString();
        client = bus.connect("client");
    }

    // The call as a client makes it, answered while the event loop runs.
    QDBusMessage call(const QString& method, const QVariantList& arguments = {},
                      const QString& interface = kWedgeInterface) {
        QDBusMessage message =
            QDBusMessage::createMethodCall(kWedgeSimService, kWedgePath, interface, method);
        message.setArguments(arguments);
        QDBusPendingCall pending = client.asyncCall(message);
        EXPECT_TRUE(spinUntil([&] { return pending.isFinished(); }));
        return pending.reply();
    }

    bool readsDown(uint8_t key) { return keys.asyncKeyState(key) & kKeyDownBit; }

    PrivateBus bus;
    sim::VirtualClock clock;
    TriggerKeysNow now{kScan, kTarget, 30, true};
    RemoteTriggerKeys keys{clock, [this] { return now; }};
    WedgeStatus status{true, false};
    std::unique_ptr<WedgeControlService> control;
    QDBusConnection client{QString()};
};

TEST_F(ControlInterface, EachMethodPressesOrReleasesItsKey) {
    for (const auto& [press, release, key] :
         {std::tuple{"PressScanKey", "ReleaseScanKey", kScan},
          std::tuple{"PressTargetKey", "ReleaseTargetKey", kTarget}}) {
        EXPECT_EQ(call(press).type(), QDBusMessage::ReplyMessage) << press;
        EXPECT_TRUE(readsDown(key)) << press;
        EXPECT_EQ(call(release).type(), QDBusMessage::ReplyMessage) << release;
        EXPECT_FALSE(readsDown(key)) << release;
    }
}

TEST_F(ControlInterface, IntrospectionShowsTheContractAndNothingElse) {
    const QString xml = call("Introspect", {}, "org.freedesktop.DBus.Introspectable")
                            .arguments()
                            .value(0)
                            .toString();
    const qsizetype start = xml.indexOf(R"(<interface name="org.quillmark.Wedge1">)");
    ASSERT_GE(start, 0) << xml.toStdString();
    const QString wedge = xml.mid(start, xml.indexOf("</interface>", start) - start);
    for (const char* member :
         {R"(<property name="ScanningEnabled" type="b" access="read"/>)",
          R"(<property name="EngineConnected" type="b" access="read"/>)",
          R"(<method name="PressScanKey">)", R"(<method name="ReleaseScanKey">)",
          R"(<method name="PressTargetKey">)", R"(<method name="ReleaseTargetKey">)"})
        EXPECT_TRUE(wedge.contains(member)) << member;
    EXPECT_EQ(wedge.count("<method"), 4) << wedge.toStdString();
    EXPECT_EQ(wedge.count("<signal"), 0) << wedge.toStdString();
}

TEST_F(ControlInterface, APressWhileScanningIsPausedIsRefusedWithTheReason) {
    now.scanningEnabled = false;
    const QDBusMessage reply = call("PressScanKey");
    EXPECT_EQ(reply.type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(reply.errorName(), kScanningDisabledError);
    EXPECT_TRUE(reply.errorMessage().contains("Scanning is paused"));
    EXPECT_FALSE(readsDown(kScan));
}

TEST_F(ControlInterface, PropertiesAreReadAndTheirChangesAnnounced) {
    const auto get = [&](const char* name) {
        return call("Get", {kWedgeInterface, QString(name)}, kPropertiesInterface)
            .arguments()
            .value(0)
            .value<QDBusVariant>()
            .variant();
    };
    EXPECT_EQ(get("ScanningEnabled"), QVariant(true));
    EXPECT_EQ(get("EngineConnected"), QVariant(false));

    PropertiesWatch watch;
    ASSERT_TRUE(client.connect(kWedgeSimService, kWedgePath, kPropertiesInterface,
                               "PropertiesChanged", &watch,
                               SLOT(changed(QString, QVariantMap, QStringList))));
    control->refresh();  // nothing changed: nothing announced
    status.engineConnected = true;
    control->refresh();
    ASSERT_TRUE(spinUntil([&] { return !watch.changes.empty(); }));
    status.scanningEnabled = false;  // found by the wedge's own poll
    ASSERT_TRUE(spinUntil([&] { return watch.changes.size() == 2; }));
    EXPECT_EQ(watch.changes,
              (QList<QVariantMap>{{{"EngineConnected", true}}, {{"ScanningEnabled", false}}}));
}

TEST_F(ControlInterface, ASecondWedgeOfTheSameKindFindsTheNameTakenAndSaysSo) {
    const WedgeControlService second(bus.connect("second"), kWedgeSimService, keys,
                                     [this] { return status; });
    EXPECT_FALSE(second.isActive());
    EXPECT_TRUE(second.problem().contains(kWedgeSimService));
    const WedgeControlService real(bus.connect("real"), kWedgeService, keys,
                                   [this] { return status; });
    EXPECT_TRUE(real.isActive());
}

TEST_F(ControlInterface, APressIsLetGoWhenItsClientLeavesTheBus) {
    {
        const QDBusConnection leaving = bus.connect("leaving");
        QDBusPendingCall pending = leaving.asyncCall(QDBusMessage::createMethodCall(
            kWedgeSimService, kWedgePath, kWedgeInterface, "PressScanKey"));
        ASSERT_TRUE(spinUntil([&] { return pending.isFinished(); }));
    }
    EXPECT_TRUE(readsDown(kScan));
    bus.disconnect("leaving");  // its last reference: the connection closes
    EXPECT_TRUE(spinUntil([&] { return !keys.isDown(RemoteKey::Scan); }));
}

TEST_F(ControlInterface, TheProgramsKeyOptionsCallTheirOwnWedge) {
    struct Case {
        const char* program;
        const char* option;
        bool scanning;
        int exitCode;
        const char* message;
    };
    // quillmark-sim talks to org.quillmark.WedgeSim, which runs here; quillmark to
    // org.quillmark.Wedge, which does not.
    for (const Case& c : {Case{QM_WEDGE_SIM, "--target-key", false, 1, "Scanning is paused"},
                          Case{QM_WEDGE_SIM, "--scan-key", true, 0, ""},
                          Case{QM_WEDGE, "--target-key", true, 1,
                               "no wedge answers on the session bus (org.quillmark.Wedge)"}}) {
        now.scanningEnabled = c.scanning;
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DBUS_SESSION_BUS_ADDRESS", bus.address());
        program.setProcessEnvironment(environment);
        program.start(c.program, {c.option, "press"});
        ASSERT_TRUE(spinUntil([&] { return program.state() == QProcess::NotRunning; }, 15000));
        EXPECT_EQ(program.exitCode(), c.exitCode) << c.program;
        EXPECT_TRUE(program.readAllStandardError().contains(c.message)) << c.program;
    }
    EXPECT_TRUE(readsDown(kScan));
    EXPECT_FALSE(readsDown(kTarget));
}

}  // namespace
}  // namespace qm::test

#include "control_interface_test.moc"
