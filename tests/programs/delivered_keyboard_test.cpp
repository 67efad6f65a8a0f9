#include <gtest/gtest.h>

#include <string>

#include "apps/wedge_common/DeliveredKeyboard.h"
#include "wedge/KeystrokeSynthesis.h"

namespace qm::app {
namespace {

// A typing path that drops every key while it is not ready.
class Path : public Keyboard {
public:
    void inject(uint8_t, uint32_t) override { ++(ready ? typed : dropped); }
    bool ready = true;
    uint64_t typed = 0;
    uint64_t dropped = 0;
};

class Delivered : public ::testing::Test {
protected:
    void type(const std::string& text) {
        typeDecodedData(keyboard, reinterpret_cast<const uint8_t*>(text.data()),
                        static_cast<int>(text.size()));
    }
    void usePath() {
        keyboard.use(&path, [this] { return path.dropped; });
    }

    int lost = 0;
    Path path;
    DeliveredKeyboard keyboard{[this] { ++lost; }};
};

TEST_F(Delivered, ADecodeWithoutAPathIsLost) {
    type("nowhere");
    EXPECT_EQ(lost, 1);
    type("");  // an empty decode types nothing, and loses nothing
    EXPECT_EQ(lost, 1);
}

TEST_F(Delivered, ADecodeThePathTookWholeIsNotLost) {
    usePath();
    type("Ab1");
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(path.typed, 8u);  // A with Shift, b, 1
}

TEST_F(Delivered, ADecodeWhoseKeysThePathDroppedIsLostOnce) {
    usePath();
    path.ready = false;
    type("early");
    EXPECT_EQ(lost, 1);
    path.ready = true;  // drops before this decode are not its own
    type("later");
    EXPECT_EQ(lost, 1);
    keyboard.use(nullptr);
    type("gone");
    EXPECT_EQ(lost, 2);
}

}  // namespace
}  // namespace qm::app
