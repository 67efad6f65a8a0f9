// The running wedge with its engine unplugged and plugged back in: the main dialog says so,
// and the engine comes back under start-up's progress dialog.
#include <QAccessible>
#include <QLabel>

#include "tests/SimPackets.h"
#include "tests/ui/WedgeAppFixture.h"
#include "ui/ControlLookup.h"
#include "ui/app/DisconnectedLine.h"

namespace qm::test {
namespace {

class Reconnect : public WedgeAppFixture {
protected:
    QLabel* line() {
        return ui::controlAs<QLabel>(app->mainDialog(), ui::DisconnectedLine::kControlId);
    }
};

TEST_F(Reconnect, TheMainDialogSaysWhileTheScannerIsGoneAndItComesBackInitialised) {
    startUp();
    ASSERT_NE(line(), nullptr);
    EXPECT_FALSE(line()->isVisibleTo(app->mainDialog()));
    const std::vector<int> startUpPositions = positions.at(0);

    engine.unplug();
    queue.drain();
    EXPECT_TRUE(line()->isVisibleTo(app->mainDialog()));
    EXPECT_EQ(line()->text(), "Scanner disconnected");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(line())->text(QAccessible::Name),
              "Scanner disconnected");

    engine.clearReceived();
    engine.plugIn();
    QCoreApplication::processEvents();
    queue.drain();
    EXPECT_TRUE(state->link.deviceConnected());
    EXPECT_FALSE(line()->isVisibleTo(app->mainDialog()));
    ASSERT_EQ(positions.size(), 2u);
    EXPECT_EQ(positions[1], startUpPositions);
    EXPECT_EQ(packetsReceivedBy(engine).front(), bytesOf(PARAM_REQUEST_ALL));
}

}  // namespace
}  // namespace qm::test
