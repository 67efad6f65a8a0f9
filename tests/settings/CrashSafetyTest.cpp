#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "SettingsFixture.h"
#include "session/LoadSettings.h"
#include "session/SaveSettings.h"

namespace qm::test {
namespace {

class CrashSafetyTest : public SettingsFixture {};

// A child saves two different records in turn until it is killed at a random moment; after
// every kill the profile must load and be one of the two, never a mixture or a torn file.
TEST_F(CrashSafetyTest, AKilledSaveLeavesOneWholeRecord) {
    ProcessState first(platform);
    ProcessState second(platform);
    fillDistinctRecord(first.scanSettings, first.commandArray);
    fillExampleRecord(second.scanSettings, second.commandArray);
    second.commandArray[240] = 0;  // not saved, so not compared
    first.configFolder = second.configFolder = "\\Program Files\\Quillmark\\";
    ASSERT_EQ(saveSettings(first, "LastUser.cfg"), 1);

    std::mt19937 random(12345);
    std::uniform_int_distribution<int> lifetimeMicros(0, 4000);
    int seenFirst = 0;
    int seenSecond = 0;
    for (int kill = 0; kill < 200; ++kill) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) {
                saveSettings(second, "LastUser.cfg");
                saveSettings(first, "LastUser.cfg");
            }
        }
        // The wait is what makes the kill land at a random point of a save.
        std::this_thread::sleep_for(std::chrono::microseconds(lifetimeMicros(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);

        const auto loaded = freshState();
        ASSERT_EQ(loadSettings(*loaded, "LastUser.cfg"), 1) << "after kill " << kill;
        const bool isFirst = loaded->scanSettings == first.scanSettings &&
                             loaded->commandArray == first.commandArray;
        const bool isSecond = loaded->scanSettings == second.scanSettings &&
                              loaded->commandArray == second.commandArray;
        ASSERT_TRUE(isFirst || isSecond) << "after kill " << kill;
        seenFirst += isFirst;
        seenSecond += isSecond;
    }
    RecordProperty("first", seenFirst);
    RecordProperty("second", seenSecond);
}

}  // namespace
}  // namespace qm::test
