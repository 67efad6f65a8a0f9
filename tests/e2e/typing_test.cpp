// Decoded data typed through the real X backend into a real terminal, on layouts where
// many US characters sit on other keys or need AltGr, and where some are missing.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/linux/XTestKeyboard.h"
#include "tests/RequiredTools.h"
#include "tests/e2e/XtermUnderXvfb.h"
#include "wedge/KeystrokeSynthesis.h"

namespace qm {
namespace {

using linux_platform::XTestKeyboard;

struct Layout {
    const char* layout;
    const char* variant;
};

void PrintTo(const Layout& l, std::ostream* out) { *out << l.layout << ' ' << l.variant; }

class TypingIntoXterm : public testing::TestWithParam<Layout> {
protected:
    // One server, terminal and keyboard for every layout: the keyboard must notice each
    // layout change on its own.
    static void SetUpTestSuite() {
        if (!e2e::XtermUnderXvfb::available()) return;
        session_ = std::make_unique<e2e::XtermUnderXvfb>();
        if (!session_->start()) return;
        keyboard_ = XTestKeyboard::open(session_->display().c_str());
    }
    static void TearDownTestSuite() {
        keyboard_.reset();
        session_.reset();
    }
    void SetUp() override {
        QM_SKIP_UNLESS_TOOLS(e2e::XtermUnderXvfb::available(), "Xvfb, xterm and xdotool");
        ASSERT_TRUE(keyboard_) << "no X server with a focused xterm";
    }

    // What the terminal received once `expectedSize` bytes are there; anything typed in
    // excess arrives before the final Return and so shows too.
    std::string typeAndRead(const std::string& text, size_t expectedSize) {
        const size_t before = e2e::readFile(session_->output()).size();
        typeDecodedData(*keyboard_, reinterpret_cast<const uint8_t*>(text.data()),
                        static_cast<int>(text.size()));
        e2e::waitForFileSize(session_->output(), before + expectedSize, std::chrono::seconds(10));
        return e2e::readFile(session_->output()).substr(before);
    }

    static inline std::unique_ptr<e2e::XtermUnderXvfb> session_;
    static inline std::unique_ptr<XTestKeyboard> keyboard_;
};

TEST_P(TypingIntoXterm, EveryPrintableCharacterArrivesInOrder) {
    ASSERT_TRUE(session_->setLayout(GetParam().layout, GetParam().variant));
    std::string printable;
    for (char c = ' '; c <= '~'; ++c) printable += c;
    const std::string text = "Lot 42-B: " + printable + "\tend\r";
    EXPECT_EQ(typeAndRead(text, text.size()), text);
}

TEST_P(TypingIntoXterm, LineFeedIsReturnAndOtherControlsAndHighBytesAreDropped) {
    ASSERT_TRUE(session_->setLayout(GetParam().layout, GetParam().variant));
    // Escape is typed; the terminal passes it on as the byte itself.
    const std::string expected =
        "a\x1B"
        "b\rc\r";
    EXPECT_EQ(typeAndRead("a\x01\x7F\xE9\x1B"
                          "b\nc\r",
                          expected.size()),
              expected);
}

INSTANTIATE_TEST_SUITE_P(Layouts, TypingIntoXterm,
                         testing::Values(Layout{"us", ""}, Layout{"de", ""}, Layout{"fr", ""},
                                         Layout{"us", "dvorak"}),
                         [](const auto& info) {
                             return std::string(info.param.variant[0] ? info.param.variant
                                                                      : info.param.layout);
                         });

}  // namespace
}  // namespace qm
