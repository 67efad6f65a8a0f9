#include <gtest/gtest.h>

#include "platform/ParseByte.h"

namespace qm {
namespace {

TEST(ParseByte, DecimalAndHexOnlyAndNothingAround) {
    const struct {
        const char* text;
        std::optional<uint8_t> expected;
    } cases[] = {{"0", 0}, {"255", 255}, {"0x9F", 0x9F}, {"0XeE", 0xEE}, {"256", {}}, {"0x100", {}},
                 {"", {}}, {"0x", {}},   {"-1", {}},     {"12a", {}},    {" 1", {}}};
    for (const auto& c : cases) EXPECT_EQ(parseByte(c.text), c.expected) << c.text;
}

}  // namespace
}  // namespace qm
