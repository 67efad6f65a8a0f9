#include "F3Key.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

class XTestF3 : public F3Key {
public:
    explicit XTestF3(Display* display)
        : display_(display), keycode_(XKeysymToKeycode(display, XK_F3)) {}
    ~XTestF3() override { XCloseDisplay(display_); }
    void press(bool down) override {
        XTestFakeKeyEvent(display_, keycode_, down ? True : False, CurrentTime);
        XFlush(display_);
    }

private:
    Display* display_;
    KeyCode keycode_;
};

}  // namespace

std::unique_ptr<F3Key> F3Key::open(const std::string& display) {
    Display* x = XOpenDisplay(display.c_str());
    if (!x) return nullptr;
    return std::make_unique<XTestF3>(x);
}
