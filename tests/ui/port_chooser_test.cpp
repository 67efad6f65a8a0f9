// The port chooser over a device folder of the test's own: by-id names leading to a
// pseudo-terminal with the engine simulator behind it, to a silent one, and to one this user
// may not open. Its controls are found as assistive technology finds them, by their names.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QTest>
#include <filesystem>

#include "platform/linux/LinuxSerialDevices.h"
#include "platform/linux/PseudoTerminal.h"
#include "platform/linux/RealClock.h"
#include "tests/TempFolder.h"
#include "tests/ui/ScreenshotFolder.h"
#include "ui/ControlLookup.h"
#include "ui/GuiQueue.h"
#include "ui/app/PortChooser.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

QAccessibleInterface* findByName(QAccessibleInterface* at, const QString& name,
                                 QAccessible::Role role) {
    if (at->role() == role && at->text(QAccessible::Name) == name) return at;
    for (int i = 0; i < at->childCount(); ++i)
        if (QAccessibleInterface* found = findByName(at->child(i), name, role)) return found;
    return nullptr;
}

class PortChooser : public ::testing::Test {
protected:
    void SetUp() override {
#ifndef QM_ENGINE_SIM
        GTEST_SKIP() << "no engine simulator built";
#else
        engineSim.start(QM_ENGINE_SIM, {});
        ASSERT_TRUE(engineSim.waitForReadyRead(5000));
        const std::string enginePty = engineSim.readLine().trimmed().toStdString();
        std::string error;
        silent = linux_platform::PseudoTerminal::open(error);
        locked = linux_platform::PseudoTerminal::open(error);
        ASSERT_TRUE(silent && locked) << error;
        ASSERT_TRUE(silent->holdSlaveOpen() && locked->holdSlaveOpen());
        fs::create_directories(byId());
        adapter("ttyUSB0", enginePty, "usb-Acme_Scan_Engine_0001-if00-port0");
        adapter("ttyUSB1", silent->slavePath(), "usb-Acme_Serial_Cable_0002-if00-port0");
        adapter("ttyACM0", locked->slavePath(), "");
        // An ordinary user, for whom the third belongs to the dialout group only.
        if (::geteuid() == 0) {
            for (const std::string& pty : {enginePty, silent->slavePath()})
                fs::permissions(pty, fs::perms(0666));
            ASSERT_EQ(std::system(("chgrp dialout " + locked->slavePath()).c_str()), 0);
            fs::permissions(locked->slavePath(), fs::perms(0660));
            who = {1000, {1000}};
        }
#endif
    }
    void TearDown() override {
        engineSim.terminate();
        engineSim.waitForFinished(5000);
    }

    void adapter(const std::string& name, const std::string& pty, const std::string& id) {
        fs::create_symlink(pty, dev() / name);
        if (!id.empty()) fs::create_symlink("../../" + name, byId() / id);
    }
    fs::path dev() const { return folder.path() / "dev"; }
    fs::path byId() const { return dev() / "serial/by-id"; }

    QAccessibleInterface* named(ui::CPortDlg& dialog, const char* name, QAccessible::Role role) {
        QAccessibleInterface* found =
            findByName(QAccessible::queryAccessibleInterface(&dialog), name, role);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    // Assistive technology presses a button the way a click would, a moment later.
    static void press(QAccessibleInterface* button, const std::function<bool()>& pressed) {
        button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        EXPECT_TRUE(QTest::qWaitFor(pressed, 10000));
    }

    TempFolder folder{"qm-port-chooser"};
    QProcess engineSim;
    std::unique_ptr<linux_platform::PseudoTerminal> silent;
    std::unique_ptr<linux_platform::PseudoTerminal> locked;
    linux_platform::Credentials who = linux_platform::Credentials::ofThisProcess();
    linux_platform::RealClock clock;
    ui::GuiQueue queue;
};

TEST_F(PortChooser, ListsTheDevicesTestsThemAndKeepsTheByIdName) {
    linux_platform::LinuxSerialDevices devices({dev(), byId(), folder.path() / "no-sysfs"}, who);
    const std::string engine = (byId() / "usb-Acme_Scan_Engine_0001-if00-port0").string();
    ui::CPortDlg dialog(devices, clock, queue, engine);
    dialog.setAttribute(Qt::WA_DontShowOnScreen);
    dialog.show();

    QAccessibleInterface* list = named(dialog, "Scan engine port:", QAccessible::List);
    QAccessibleInterface* test = named(dialog, "Test", QAccessible::Button);
    ASSERT_TRUE(list && test);
    ASSERT_EQ(list->childCount(), 3);
    EXPECT_EQ(list->child(0)->text(QAccessible::Name), "ttyUSB0: USB serial adapter");
    EXPECT_EQ(dialog.chosenPath(), engine) << "the port in use is the one selected";

    auto* result = ui::controlAs<QLabel>(&dialog, ui::CPortDlg::kTestResult);
    const auto testRow = [&](int row) {
        ui::controlAs<QListWidget>(&dialog, ui::CPortDlg::kPortList)->setCurrentRow(row);
        press(test, [&] { return !result->text().isEmpty(); });
        return result->text();
    };
    const QString engineAnswer = testRow(0);
    EXPECT_TRUE(engineAnswer.startsWith("An SSI engine answers (")) << engineAnswer.toStdString();
    const test::TempFolder scratch("qm-screenshots");
    const QString folder = test::screenshotFolder(scratch);
    EXPECT_TRUE(dialog.grab().save(folder + "/port_chooser.png"));
    EXPECT_EQ(testRow(1), "Opened, but no SSI engine answers.");

    if (::geteuid() == 0) {
        // The one without a by-id name comes last, and says what would give access.
        ui::controlAs<QListWidget>(&dialog, ui::CPortDlg::kPortList)->setCurrentRow(2);
        EXPECT_EQ(list->child(2)->text(QAccessible::Name),
                  "ttyACM0: USB serial device (no permission)");
        const QString details = ui::controlAs<QLabel>(&dialog, ui::CPortDlg::kDetails)->text();
        EXPECT_TRUE(details.contains("the dialout group gives access")) << details.toStdString();
    }
    EXPECT_TRUE(dialog.grab().save(folder + "/port_chooser_no_permission.png"));

    ui::controlAs<QListWidget>(&dialog, ui::CPortDlg::kPortList)->setCurrentRow(1);
    press(named(dialog, "OK", QAccessible::Button), [&] { return dialog.isHidden(); });
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.chosenPath(), (byId() / "usb-Acme_Serial_Cable_0002-if00-port0").string());
}

}  // namespace
}  // namespace qm::test
