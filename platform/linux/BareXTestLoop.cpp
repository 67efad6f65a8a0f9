#include "platform/linux/BareXTestLoop.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace qm::linux_platform {
namespace {

constexpr int kLevels = 4;

// Printable ASCII and Latin-1 keysyms share their codes.
bool isPrintable(KeySym keysym) { return keysym >= 0x20 && keysym <= 0x7E; }

void fakeKey(Display* display, uint8_t keycode, bool down) {
    XTestFakeKeyEvent(display, keycode, down ? True : False, 0);
}

int activeGroup(Display* display) {
    XkbStateRec state{};
    return XkbGetState(display, XkbUseCoreKbd, &state) == Success ? state.group : 0;
}

bool keycodeIsBlank(Display* display, int keycode) {
    for (int level = 0; level < kLevels; ++level)
        if (XkbKeycodeToKeysym(display, static_cast<KeyCode>(keycode), 0, level) != NoSymbol)
            return false;
    return true;
}

}  // namespace

std::unique_ptr<BareXTestLoop> BareXTestLoop::open(const char* displayName) {
    Display* display = XOpenDisplay(displayName);
    if (!display) return nullptr;
    int unused = 0;
    if (!XTestQueryExtension(display, &unused, &unused, &unused, &unused)) {
        XCloseDisplay(display);
        return nullptr;
    }
    return std::unique_ptr<BareXTestLoop>(new BareXTestLoop(display));
}

BareXTestLoop::BareXTestLoop(Display* display)
    : display_(display),
      shiftKeycode_(XKeysymToKeycode(display, XK_Shift_L)),
      altGrKeycode_(XKeysymToKeycode(display, XK_ISO_Level3_Shift)) {
    readLevels();
    borrowMissing();
}

BareXTestLoop::~BareXTestLoop() {
    for (uint8_t keycode : borrowed_) {
        KeySym none = NoSymbol;
        XChangeKeyboardMapping(display_, keycode, 1, &none, 1);
    }
    XSync(display_, False);
    XCloseDisplay(display_);
}

// The lowest level wins, then the lowest keycode: what a typist would reach for.
void BareXTestLoop::readLevels() {
    int minKeycode = 0, maxKeycode = 0;
    XDisplayKeycodes(display_, &minKeycode, &maxKeycode);
    const int group = activeGroup(display_);
    for (int level = 0; level < kLevels; ++level) {
        if (level >= 2 && altGrKeycode_ == 0) break;
        for (int kc = minKeycode; kc <= maxKeycode; ++kc) {
            const KeySym keysym =
                XkbKeycodeToKeysym(display_, static_cast<KeyCode>(kc), group, level);
            if (isPrintable(keysym) && !strokes_[keysym])
                strokes_[keysym] = Stroke{static_cast<uint8_t>(kc), level};
        }
    }
}

void BareXTestLoop::borrowMissing() {
    int minKeycode = 0, maxKeycode = 0;
    XDisplayKeycodes(display_, &minKeycode, &maxKeycode);
    int kc = maxKeycode;
    for (KeySym keysym = 0x20; keysym <= 0x7E; ++keysym) {
        if (strokes_[keysym]) continue;
        while (kc >= minKeycode && !keycodeIsBlank(display_, kc)) --kc;
        if (kc < minKeycode) return;
        KeySym both[2] = {keysym, keysym};
        XChangeKeyboardMapping(display_, kc, 2, both, 1);
        borrowed_.push_back(static_cast<uint8_t>(kc));
        strokes_[keysym] = Stroke{static_cast<uint8_t>(kc--), 0};
    }
    XSync(display_, False);
}

void BareXTestLoop::type(const std::string& text) {
    for (char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code < strokes_.size() && strokes_[code]) typeStroke(*strokes_[code]);
    }
    XSync(display_, False);
}

void BareXTestLoop::typeStroke(const Stroke& stroke) {
    const bool shift = stroke.level & 1;
    const bool altGr = stroke.level & 2;
    if (shift) fakeKey(display_, shiftKeycode_, true);
    if (altGr) fakeKey(display_, altGrKeycode_, true);
    fakeKey(display_, stroke.keycode, true);
    fakeKey(display_, stroke.keycode, false);
    if (altGr) fakeKey(display_, altGrKeycode_, false);
    if (shift) fakeKey(display_, shiftKeycode_, false);
}

}  // namespace qm::linux_platform
