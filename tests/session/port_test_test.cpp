// Testing a port before it is kept: whether it opens and whether an SSI engine answers there.
#include <gtest/gtest.h>

#include "platform/sim/SimEngine.h"
#include "platform/sim/SimSerialPort.h"
#include "platform/sim/VirtualClock.h"
#include "session/PortTest.h"

namespace qm::test {
namespace {

TEST(PortTest, TellsAnEngineFromSilenceAndFromAPortThatDoesNotOpen) {
    struct Case {
        const char* name;
        std::u16string portName;
        int silentCommands;
        bool opened;
        bool answered;
        int64_t atLeastMs;
    };
    const Case cases[] = {
        {"engine", u"COM3:", 0, true, true, 0},
        // The parameter request's one-second wait for an answer that never comes.
        {"silent", u"COM3:", 1, true, false, 1000},
        {"no such port", u"COM9:", 0, false, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::VirtualClock clock;
        sim::SimEngine engine;
        engine.faults().silentNextCommands = c.silentCommands;
        sim::SimSerialPortOpener opener(clock, engine, c.portName);
        const int64_t start = clock.nowMs();
        const PortTestResult result = testPort(clock, opener);
        EXPECT_EQ(result.opened, c.opened);
        EXPECT_EQ(result.engineAnswered(), c.answered);
        EXPECT_GE(clock.nowMs() - start, c.atLeastMs);
        EXPECT_LT(clock.nowMs() - start, c.atLeastMs + 500);
    }
}

TEST(PortTest, SaysWhatItFoundInASentence) {
    PortTestResult refused;
    refused.failure = "permission denied (the user must be in the dialout group)";
    PortTestResult answered;
    answered.opened = true;
    answered.parameters = 42;
    PortTestResult silent;
    silent.opened = true;
    EXPECT_EQ(describePortTest(refused),
              "Cannot be opened: permission denied (the user must be in the dialout group).");
    EXPECT_EQ(describePortTest(answered), "An SSI engine answers (42 parameters).");
    EXPECT_EQ(describePortTest(silent), "Opened, but no SSI engine answers.");
}

}  // namespace
}  // namespace qm::test
