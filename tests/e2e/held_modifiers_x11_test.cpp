// Held modifiers set aside for a decode on a real X server, held by the server's own keyboard
// (as a user's fingers would) or by another XTest client, and let go of before or after the
// decode: the desktop must show the key down exactly while it is held, and XTest must be left
// holding nothing.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/linux/XTestModifierKeys.h"
#include "tests/RequiredTools.h"
#include "tests/e2e/XtermUnderXvfb.h"

// Last: Xlib's macros would clash with the names above.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace qm::e2e {
namespace {

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

// The server's own keyboard, or XTest's, faking a key of its own as a user's would.
class Holder {
public:
    Holder(Display* display, bool xtest) : display_(display) {
        int count = 0;
        XIDeviceInfo* devices = XIQueryDevice(display, XIAllDevices, &count);
        for (int i = 0; i < count; ++i)
            if (devices[i].use == XISlaveKeyboard &&
                (std::string(devices[i].name).find("XTEST") != std::string::npos) == xtest)
                device_ = XOpenDevice(display, devices[i].deviceid);
        XIFreeDeviceInfo(devices);
    }
    ~Holder() {
        if (device_) XCloseDevice(display_, device_);
    }
    bool valid() const { return device_ != nullptr; }
    void key(uint8_t keycode, bool down) {
        XTestFakeDeviceKeyEvent(display_, device_, keycode, down, nullptr, 0, 0);
        XSync(display_, False);
    }

private:
    Display* display_;
    XDevice* device_ = nullptr;
};

bool desktopHolds(Display* display, uint8_t keycode) {
    char keys[32] = {};
    XQueryKeymap(display, keys);
    return (keys[keycode / 8] >> (keycode % 8)) & 1;
}

struct Case {
    const char* description;
    bool heldByTheServersKeyboard;  // else by another XTest client
    bool letGoOfDuringTheDecode;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.description; }

class HeldModifiersOnX11 : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        QM_SKIP_UNLESS_TOOLS(XtermUnderXvfb::available(), "Xvfb, xterm and xdotool");
        ASSERT_TRUE(x.start());
        ours.reset(XOpenDisplay(x.display().c_str()));
        user.reset(XOpenDisplay(x.display().c_str()));
        ASSERT_TRUE(ours && user);
        ctrl = XKeysymToKeycode(user.get(), XK_Control_L);
    }

    XtermUnderXvfb x;
    DisplayPtr ours;
    DisplayPtr user;
    uint8_t ctrl = 0;
};

TEST_P(HeldModifiersOnX11, TheDesktopShowsTheKeyDownExactlyWhileItIsHeld) {
    int xkbEvent = 0, unused = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    ASSERT_TRUE(XkbQueryExtension(ours.get(), &unused, &xkbEvent, &unused, &major, &minor));
    linux_platform::XTestModifierKeys keys(ours.get(), xkbEvent, [&] {
        while (XPending(ours.get()) > 0) {
            XEvent event;
            XNextEvent(ours.get(), &event);
            keys.handle(event);
        }
    });
    keys.readKeyboardMap();
    keys.watchState();
    Holder holder(user.get(), !GetParam().heldByTheServersKeyboard);
    ASSERT_TRUE(holder.valid());
    const bool letGoEarly = GetParam().letGoOfDuringTheDecode;

    holder.key(ctrl, true);
    XSync(ours.get(), False);  // its state event is here, as a scan's own time would see to
    keys.decodeStarts();
    XSync(ours.get(), False);
    EXPECT_FALSE(desktopHolds(user.get(), ctrl)) << "lifted for the decode";
    if (letGoEarly) holder.key(ctrl, false);
    keys.decodeEnds();
    EXPECT_EQ(desktopHolds(user.get(), ctrl), !letGoEarly);
    if (!letGoEarly) holder.key(ctrl, false);
    EXPECT_FALSE(desktopHolds(user.get(), ctrl));

    // The next decode, nothing held, leaves XTest holding nothing of ours: another XTest
    // client's Ctrl still goes down.
    keys.decodeStarts();
    keys.decodeEnds();
    EXPECT_FALSE(desktopHolds(user.get(), ctrl));
    XTestFakeKeyEvent(user.get(), ctrl, True, 0);
    EXPECT_TRUE(desktopHolds(user.get(), ctrl));
    XTestFakeKeyEvent(user.get(), ctrl, False, 0);
}

INSTANTIATE_TEST_SUITE_P(Holders, HeldModifiersOnX11,
                         ::testing::Values(Case{"keyboard_kept_held", true, false},
                                           Case{"keyboard_let_go_during_the_decode", true, true},
                                           Case{"xtest_kept_held", false, false},
                                           Case{"xtest_let_go_during_the_decode", false, true}),
                         [](const auto& info) { return std::string(info.param.description); });

}  // namespace
}  // namespace qm::e2e
