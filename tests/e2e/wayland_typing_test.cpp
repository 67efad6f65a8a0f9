// Decoded data typed through the Wayland virtual keyboard in a headless sway, into a native
// Wayland terminal and into an X terminal through XWayland, on layouts where many US
// characters sit on other keys; XTest on XWayland after it; a decode while the user's
// keyboard holds Control.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>

#include "platform/linux/BareVirtualKeyboardLoop.h"
#include "platform/linux/WaylandVirtualKeyboard.h"
#include "platform/linux/XTestKeyboard.h"
#include "tests/RequiredTools.h"
#include "tests/e2e/SwayHeadless.h"
#include "wedge/KeystrokeSynthesis.h"

namespace qm {
namespace {

using e2e::SwayHeadless;
using linux_platform::BareVirtualKeyboardLoop;
using linux_platform::WaylandVirtualKeyboard;
using Receiver = SwayHeadless::Receiver;

// Characters on other keys on de and fr than on us, or needing AltGr there.
const std::string Shuffled = "Qz-Ay/1:@;#";

std::string allPrintable() {
    std::string printable;
    for (char c = ' '; c <= '~'; ++c) printable += c;
    return printable;
}

class WaylandTyping : public testing::Test {
protected:
    // One session for every test, with a keyboard standing for the user's from the start, as
    // a seat has one; the receivers start before our keyboard.
    static void SetUpTestSuite() {
        if (!SwayHeadless::available()) return;
        session_ = std::make_unique<SwayHeadless>();
        if (!session_->start()) return;
        users_ = BareVirtualKeyboardLoop::open(session_->waylandDisplay().c_str());
        if (!users_ || !session_->startReceiver(Receiver::Xterm) ||
            !session_->startReceiver(Receiver::Foot))
            return;
        keyboard_ = WaylandVirtualKeyboard::open(session_->waylandDisplay().c_str());
    }
    static void TearDownTestSuite() {
        keyboard_.reset();
        users_.reset();
        session_.reset();
    }
    void SetUp() override {
        QM_SKIP_UNLESS_TOOLS(SwayHeadless::available(), "sway, foot, xterm, Xwayland and xhost");
        ASSERT_TRUE(keyboard_) << "no headless sway with a virtual keyboard and both terminals";
    }

    // What the receiver got once `text.size()` bytes are there; anything typed in excess
    // arrives before the final Return and so shows too.
    static std::string typeAndRead(Keyboard& keyboard, Receiver receiver, const std::string& text) {
        const auto file = session_->output(receiver);
        const size_t before = e2e::readFile(file).size();
        typeDecodedData(keyboard, reinterpret_cast<const uint8_t*>(text.data()),
                        static_cast<int>(text.size()));
        keyboard.flush();
        e2e::waitForFileSize(file, before + text.size(), std::chrono::seconds(10));
        return e2e::readFile(file).substr(before);
    }

    static inline std::unique_ptr<SwayHeadless> session_;
    static inline std::unique_ptr<WaylandVirtualKeyboard> keyboard_;
    static inline std::unique_ptr<BareVirtualKeyboardLoop> users_;
};

class WaylandTypingOnLayout
    : public WaylandTyping,
      public testing::WithParamInterface<std::tuple<const char*, Receiver>> {};

// The first test types the first decode ever, so its first character is checked too.
TEST_P(WaylandTypingOnLayout, EveryPrintableCharacterArrivesAsTypedAndInOrder) {
    const auto [layout, receiver] = GetParam();
    ASSERT_TRUE(session_->setLayout(layout));
    ASSERT_TRUE(session_->focus(receiver));
    const std::string text = Shuffled + " Lot 42-B: " + allPrintable() + "\tend\r";
    EXPECT_EQ(typeAndRead(*keyboard_, receiver, text), text);
    EXPECT_EQ(keyboard_->skippedKeys(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Layouts, WaylandTypingOnLayout,
                         testing::Combine(testing::Values("us", "de", "fr"),
                                          testing::Values(Receiver::Foot, Receiver::Xterm)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param)) +
                                    (std::get<1>(info.param) == Receiver::Foot ? "_foot"
                                                                               : "_xterm");
                         });

// XWayland takes over the keymap of the last keyboard used; XTest must still type right.
TEST_F(WaylandTyping, XTestOnXWaylandTypesRightAfterTheVirtualKeyboard) {
    ASSERT_TRUE(session_->setLayout("de"));
    ASSERT_TRUE(session_->focus(Receiver::Xterm));
    ASSERT_EQ(typeAndRead(*keyboard_, Receiver::Xterm, Shuffled + "\r"), Shuffled + "\r");
    const auto xtest = linux_platform::XTestKeyboard::open(session_->xDisplay().c_str());
    ASSERT_TRUE(xtest);
    EXPECT_EQ(typeAndRead(*xtest, Receiver::Xterm, Shuffled + "\r"), Shuffled + "\r");
}

// The small keymap such a tool uploads has no modifier map; XTest opened after it must not
// crash, and types what that keymap lets it.
TEST_F(WaylandTyping, XTestOpensAfterASmallVirtualKeyboardKeymap) {
    QM_SKIP_UNLESS_TOOLS(e2e::programAvailable("wtype"), "wtype");
    ASSERT_TRUE(session_->focus(Receiver::Xterm));
    const auto file = session_->output(Receiver::Xterm);
    const size_t before = e2e::readFile(file).size();
    ASSERT_EQ(e2e::run(session_->withWayland("wtype -k F3")), 0);
    ASSERT_TRUE(e2e::waitForFileSize(file, before + 3, std::chrono::seconds(10)));  // ESC O R
    const auto xtest = linux_platform::XTestKeyboard::open(session_->xDisplay().c_str());
    ASSERT_TRUE(xtest);
    const std::string text = "abc\r";
    EXPECT_EQ(typeAndRead(*xtest, Receiver::Xterm, text), text);
}

// sway applies each keyboard's own modifiers to its keys: the user's Control stays on the
// user's keyboard.
TEST_F(WaylandTyping, DecodeWhileTheUsersKeyboardHoldsControlArrivesAsTyped) {
    ASSERT_TRUE(session_->setLayout("us"));
    for (const Receiver receiver : {Receiver::Foot, Receiver::Xterm}) {
        SCOPED_TRACE(receiver == Receiver::Foot ? "foot" : "xterm");
        ASSERT_TRUE(session_->focus(receiver));
        users_->holdControl(true);
        EXPECT_EQ(typeAndRead(*keyboard_, receiver, Shuffled + "\r"), Shuffled + "\r");
        users_->holdControl(false);
    }
}

}  // namespace
}  // namespace qm
