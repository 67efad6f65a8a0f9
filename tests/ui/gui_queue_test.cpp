// Work handed to the GUI thread wakes it: nothing there polls for it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <thread>
#include <vector>

#include "ui/BusyWork.h"
#include "ui/GuiQueue.h"

namespace qm::ui {
namespace {

// Each entry: its number, and whether it ran on the GUI thread.
using Ran = std::vector<std::pair<int, bool>>;

void postNumbers(GuiQueue& queue, Ran& ran, int count) {
    for (int i = 0; i < count; ++i)
        queue.post([&ran, i] { ran.emplace_back(i, QThread::currentThread() == qApp->thread()); });
}

const Ran kThreeOnTheGuiThread = {{0, true}, {1, true}, {2, true}};

TEST(GuiQueue, WorkPostedFromAnotherThreadRunsOnTheGuiThreadInOrder) {
    GuiQueue queue;
    Ran ran;
    QEventLoop loop;
    std::thread poster([&] {
        postNumbers(queue, ran, 3);
        queue.post([&loop] { loop.quit(); });
    });
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);  // the bound, were nothing to wake it
    loop.exec();
    poster.join();
    EXPECT_EQ(ran, kThreeOnTheGuiThread);
}

TEST(BusyWork, ReturnsWhenTheWorkIsDoneWithWhatItPostedRun) {
    GuiQueue queue;
    Ran ran;
    runWhileRepainting(nullptr, queue, [&] { postNumbers(queue, ran, 3); });
    EXPECT_EQ(ran, kThreeOnTheGuiThread);
}

}  // namespace
}  // namespace qm::ui
