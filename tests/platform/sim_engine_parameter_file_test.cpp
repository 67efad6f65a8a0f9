#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/sim/SimEngineParameterFile.h"

namespace qm::sim {
namespace {

TEST(SimEngineParameterFile, ParsesAssignments) {
    EXPECT_EQ(parseParameterAssignment("94=0"), (std::pair<uint8_t, uint8_t>{94, 0}));
    EXPECT_EQ(parseParameterAssignment("0xED=0x1E"), (std::pair<uint8_t, uint8_t>{237, 30}));
    EXPECT_FALSE(parseParameterAssignment("94"));
    EXPECT_FALSE(parseParameterAssignment("94=300"));
}

TEST(SimEngineParameterFile, LinesOverrideTheirEntriesOnly) {
    SimpleParameterTable table{};
    table[7] = 7;
    std::string error;
    ASSERT_TRUE(
        applyParameterText("# engine as shipped\n94 1\n\n0x88 0x1E  # scan time\n", table, error))
        << error;
    EXPECT_EQ(table[94], 1);
    EXPECT_EQ(table[136], 30);
    EXPECT_EQ(table[7], 7);
}

TEST(SimEngineParameterFile, ABadLineLeavesTheTableAlone) {
    SimpleParameterTable table{};
    std::string error;
    for (const char* text : {"94 1\n95\n", "94 1\n95 2 3\n", "94 1\n300 1\n"}) {
        EXPECT_FALSE(applyParameterText(text, table, error)) << text;
        EXPECT_NE(error.find("line 2"), std::string::npos) << error;
        EXPECT_EQ(table[94], 0);
    }
}

}  // namespace
}  // namespace qm::sim
