// quillmark's icon in a desktop panel: a stand-in StatusNotifierWatcher on a private session
// bus, the wedge under Xvfb on the engine simulator. The item registers, its tooltip and
// picture follow the wedge, and its menu holds the four entries.
#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QProcess>
#include <QProcessEnvironment>

#include "PrivateBus.h"
#include "tests/RequiredTools.h"
#include "tests/e2e/XtermUnderXvfb.h"

namespace qm::test {
namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kItemInterface = QStringLiteral("org.kde.StatusNotifierItem");

// What a panel runs: items register with it.
class StandInWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)

public:
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    QStringList items() const { return items_; }

public slots:
    void RegisterStatusNotifierItem(const QString& service) { items_.append(service); }
    void RegisterStatusNotifierHost(const QString&) {}

private:
    QStringList items_;
};

struct MenuEntry {
    int id = 0;
    QVariantMap properties;
    QList<MenuEntry> children;
};

const QDBusArgument& operator>>(const QDBusArgument& in, MenuEntry& entry) {
    in.beginStructure();
    in >> entry.id >> entry.properties;
    in.beginArray();
    while (!in.atEnd()) {
        QDBusVariant child;
        in >> child;
        MenuEntry read;
        child.variant().value<QDBusArgument>() >> read;
        entry.children.append(read);
    }
    in.endArray();
    in.endStructure();
    return in;
}

class PanelIcon : public ::testing::Test {
protected:
    void SetUp() override {
        QM_SKIP_UNLESS_TOOLS(bus.running(), "dbus-daemon to run a private bus");
        QM_SKIP_UNLESS_TOOLS(e2e::XtermUnderXvfb::available(), "Xvfb, xterm and xdotool");
        ASSERT_TRUE(x.start());
        panel = bus.connect("panel");
        ASSERT_TRUE(panel.registerObject("/StatusNotifierWatcher", &watcher,
                                         QDBusConnection::ExportAllContents));
        ASSERT_TRUE(panel.registerService(kWatcherService));

        engine.start(QM_ENGINE_SIM, {});
        ASSERT_TRUE(engine.waitForReadyRead(5000));
        const QString pty = QString::fromUtf8(engine.readLine()).trimmed();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", QString::fromStdString(x.display()));
        environment.insert("DBUS_SESSION_BUS_ADDRESS", bus.address());
        environment.remove("WAYLAND_DISPLAY");
        environment.remove("QT_QPA_PLATFORM");
        wedge.setProcessEnvironment(environment);
        wedge.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        wedge.start(QM_WEDGE, {"--root", QString::fromStdString((x.scratch() / "root").string()),
                               "--port", pty});
        ASSERT_TRUE(spinUntil([&] { return !watcher.items().isEmpty(); }, 20000));
        item = watcher.items().first();
    }
    void TearDown() override {
        wedge.terminate();
        wedge.waitForFinished(10000);
        engine.terminate();
        engine.waitForFinished(5000);
    }

    QVariant property(const QString& name) {
        QDBusMessage get = QDBusMessage::createMethodCall(item, "/StatusNotifierItem",
                                                          "org.freedesktop.DBus.Properties", "Get");
        get.setArguments({kItemInterface, name});
        return panel.call(get).arguments().value(0).value<QDBusVariant>().variant();
    }

    // (s a(iiay) s s): the icon's name, pictures, title and text.
    QString tooltip() {
        const QDBusArgument in = property("ToolTip").value<QDBusArgument>();
        QString name, title, text;
        in.beginStructure();
        in >> name;
        pixelsOf(in);
        in >> title >> text;
        in.endStructure();
        return title + "\n" + text;
    }

    QByteArray picture() { return pixelsOf(property("IconPixmap").value<QDBusArgument>()); }

    // a(iiay): the pictures' pixels, one after the other.
    static QByteArray pixelsOf(const QDBusArgument& in) {
        QByteArray all;
        in.beginArray();
        while (!in.atEnd()) {
            int width = 0, height = 0;
            QByteArray pixels;
            in.beginStructure();
            in >> width >> height >> pixels;
            in.endStructure();
            all += pixels;
        }
        in.endArray();
        return all;
    }

    MenuEntry menu() {
        const QString path = property("Menu").value<QDBusObjectPath>().path();
        QDBusMessage layout =
            QDBusMessage::createMethodCall(item, path, "com.canonical.dbusmenu", "GetLayout");
        layout.setArguments({0, -1, QStringList()});
        const QDBusMessage reply = panel.call(layout);
        MenuEntry root;
        reply.arguments().value(1).value<QDBusArgument>() >> root;
        return root;
    }

    void click(int id) {
        const QString path = property("Menu").value<QDBusObjectPath>().path();
        QDBusMessage event =
            QDBusMessage::createMethodCall(item, path, "com.canonical.dbusmenu", "Event");
        event.setArguments({id, QString("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u});
        panel.call(event);
    }

    PrivateBus bus;
    e2e::XtermUnderXvfb x;
    QDBusConnection panel{QString()};
    StandInWatcher watcher;
    QProcess engine;
    QProcess wedge;
    QString item;
};

TEST_F(PanelIcon, RegistersFollowsTheWedgeAndOffersItsFourEntries) {
    ASSERT_TRUE(spinUntil([&] { return tooltip().contains("Engine connected"); }, 10000))
        << tooltip().toStdString();
    EXPECT_TRUE(tooltip().contains("Scanning on")) << tooltip().toStdString();
    EXPECT_TRUE(tooltip().contains("Bar codes are typed through X11 (XTest)."))
        << tooltip().toStdString();
    const QByteArray working = picture();

    QStringList entries;
    int setup = 0;
    for (const MenuEntry& entry : menu().children) {
        if (entry.properties.value("type").toString() == "separator") continue;
        const QString label = entry.properties.value("label").toString();
        entries << label;
        if (label == "Bar Code Setup") setup = entry.id;
    }
    ASSERT_EQ(entries.size(), 4) << entries.join(", ").toStdString();
    EXPECT_EQ(entries[0], "Begin Scan");
    EXPECT_EQ(entries[1], "Bar Code Setup");
    EXPECT_TRUE(entries[2].startsWith("Serial Port: ")) << entries[2].toStdString();
    EXPECT_EQ(entries[3], "Exit");

    // Setup pauses scanning: the panel says so and greys the picture.
    click(setup);
    EXPECT_TRUE(spinUntil([&] { return tooltip().contains("Scanning paused"); }, 10000))
        << tooltip().toStdString();
    EXPECT_NE(picture(), working);

    wedge.terminate();
    ASSERT_TRUE(spinUntil([&] { return wedge.state() == QProcess::NotRunning; }, 10000));
    EXPECT_EQ(wedge.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(wedge.exitCode(), 0);
}

}  // namespace
}  // namespace qm::test

#include "panel_icon_test.moc"
