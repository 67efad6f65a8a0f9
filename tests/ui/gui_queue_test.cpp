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

// Each number posted, and whether it ran on the GUI thread.
using Ran = std::vector<std::pair<int, bool>>;
const Ran kThreeOnTheGuiThread = {{0, true}, {1, true}, {2, true}};

void postThree(GuiQueue& queue, Ran& ran) {
    for (int i = 0; i < 3; ++i)
        queue.post([&ran, i] { ran.emplace_back(i, QThread::currentThread() == qApp->thread()); });
}

TEST(GuiQueue, WorkPostedFromAnotherThreadRunsOnTheGuiThreadInOrder) {
    GuiQueue queue;
    Ran ran;
    QEventLoop loop;
    std::thread poster([&] {
        postThree(queue, ran);
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
    runWhileRepainting(nullptr, queue, [&] { postThree(queue, ran); });
    EXPECT_EQ(ran, kThreeOnTheGuiThread);
}

}  // namespace
}  // namespace qm::ui
