// The panel icon's menu on its own: each entry runs its command, the port entry names the port
// and only tells where there is nothing to choose. Pictured beside the test program.
#include <gtest/gtest.h>

#include <QDir>

#include "tests/ui/ScreenshotFolder.h"
#include "ui/app/PanelIcon.h"

namespace qm::test {
namespace {

QStringList entriesOf(QMenu& menu) {
    QStringList texts;
    for (QAction* action : menu.actions())
        if (!action->isSeparator()) texts << action->text();
    return texts;
}

TEST(PanelIconMenu, EachEntryRunsItsCommandAndTheStatusIsRereadOnRefresh) {
    QStringList ran;
    const auto note = [&ran](const char* name) { return [&ran, name] { ran << name; }; };
    ui::PanelStatus status{.scanningEnabled = true,
                           .engineConnected = true,
                           .decodesDelivered = true,
                           .port = "/dev/serial/by-id/usb-Acme_Scan_Engine-if00",
                           .delivery = "Bar codes are typed through XTest.",
                           .triggerKeys = "Trigger keys come in through the keyboard (XInput2)."};
    ui::PanelIcon icon([&] { return status; },
                       {note("begin"), note("setup"), note("port"), note("exit"), nullptr});
    EXPECT_EQ(entriesOf(icon.menu()),
              (QStringList{"Begin Scan", "Bar Code Setup",
                           "Serial Port: usb-Acme_Scan_Engine-if00...", "Exit"}));
    for (QAction* action : icon.menu().actions())
        if (!action->isSeparator()) action->trigger();
    EXPECT_EQ(ran, (QStringList{"begin", "setup", "port", "exit"}));
    EXPECT_EQ(icon.icon().toolTip(),
              "Quillmark\nScanning on\nEngine connected (usb-Acme_Scan_Engine-if00)\nBar codes are "
              "typed through XTest.\nTrigger keys come in through the keyboard (XInput2).");

    icon.menu().adjustSize();
    const test::TempFolder scratch("qm-screenshots");
    const QString folder = test::screenshotFolder(scratch);
    EXPECT_TRUE(icon.menu().grab().save(folder + "/panel_menu.png"));

    for (const auto& [gone, line] : {std::pair{false, "\nEngine not connected ("},
                                     std::pair{true, "\nScanner disconnected ("}}) {
        status.engineConnected = false;
        status.scannerGone = gone;
        icon.refresh();
        EXPECT_TRUE(icon.icon().toolTip().contains(line)) << icon.icon().toolTip().toStdString();
    }
}

TEST(PanelIconMenu, WithNothingToChooseThePortEntryOnlyTells) {
    ui::PanelIcon icon([] { return ui::PanelStatus{}; }, {[] {}, [] {}, nullptr, [] {}, nullptr});
    const QList<QAction*> actions = icon.menu().actions();
    const auto port = std::find_if(actions.begin(), actions.end(), [](QAction* action) {
        return action->text().startsWith("Serial Port");
    });
    ASSERT_NE(port, actions.end());
    EXPECT_FALSE((*port)->isEnabled());
}

}  // namespace
}  // namespace qm::test
