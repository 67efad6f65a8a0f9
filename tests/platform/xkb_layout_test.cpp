// Keyboard maps built by hand with parts left out, as a server may send them: reading one
// never crashes, and a key the map cannot produce is left out of the layout.

#include <gtest/gtest.h>

// After the test framework: Xlib defines None and Bool as macros.
#include <X11/XKBlib.h>
#include <X11/keysym.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "platform/linux/XkbLayout.h"

namespace qm::linux_platform {
namespace {

constexpr int KeyA = 38, KeyB = 56, KeyShift = 50, KeyFree = 60;

struct MapDeleter {
    void operator()(XkbDescPtr xkb) const { XkbFreeKeyboard(xkb, XkbAllComponentsMask, True); }
};
using Map = std::unique_ptr<XkbDescRec, MapDeleter>;

void setKey(XkbDescPtr xkb, int keycode, int typeIndex, std::initializer_list<KeySym> levels) {
    KeySym* syms = XkbResizeKeySyms(xkb, keycode, static_cast<int>(levels.size()));
    std::copy(levels.begin(), levels.end(), syms);
    XkbSymMapRec& key = xkb->map->key_sym_map[keycode];
    key.kt_index[0] = static_cast<unsigned char>(typeIndex);
    key.group_info = XkbSetNumGroups(0, 1);
    key.width = static_cast<unsigned char>(levels.size());
}

// a on one level, b and B on two, a left Shift; the modifier map only when asked for.
Map usableMap(bool withModifierMap) {
    Map xkb(XkbAllocKeyboard());
    xkb->min_key_code = 8;
    xkb->max_key_code = 255;
    XkbAllocClientMap(xkb.get(), XkbKeyTypesMask | XkbKeySymsMask, XkbNumRequiredTypes);
    XkbInitCanonicalKeyTypes(xkb.get(), XkbAllRequiredTypes, XkbNoModifier);
    xkb->map->num_types = XkbNumRequiredTypes;  // filled, but not counted
    setKey(xkb.get(), KeyA, XkbOneLevelIndex, {XK_a});
    setKey(xkb.get(), KeyB, XkbTwoLevelIndex, {XK_b, XK_B});
    setKey(xkb.get(), KeyShift, XkbOneLevelIndex, {XK_Shift_L});
    if (withModifierMap) {
        XkbAllocClientMap(xkb.get(), XkbModifierMapMask, 0);
        xkb->map->modmap[KeyShift] = ShiftMask;
    }
    return xkb;
}

std::optional<KeyStroke> strokeOf(const XkbLayout& layout, KeySym keysym) {
    return StrokeIndex(layout.levels).find(static_cast<uint32_t>(keysym));
}

bool isSpare(const XkbLayout& layout, int keycode) {
    return std::find(layout.spareKeycodes.begin(), layout.spareKeycodes.end(), keycode) !=
           layout.spareKeycodes.end();
}

TEST(XkbLayout, WholeMapGivesEveryLevelAndTheShiftKey) {
    const Map xkb = usableMap(true);
    const XkbLayout layout = layoutFromXkbMap(xkb.get(), 0);
    EXPECT_EQ(strokeOf(layout, XK_a), (KeyStroke{KeyA, 0}));
    EXPECT_EQ(strokeOf(layout, XK_B), (KeyStroke{KeyB, ShiftMask}));
    EXPECT_EQ(layout.modifierKeycodes[0], KeyShift);
    EXPECT_TRUE(isSpare(layout, KeyFree));
    EXPECT_FALSE(isSpare(layout, KeyShift));
}

TEST(XkbLayout, MapsWithPartsLeftOutKeepWhatTheyCanProduce) {
    struct Case {
        const char* what;
        std::function<void(XkbDescPtr)> breakIt;
        bool aTypes;
        bool shiftedBTypes;
    };
    const Case cases[] = {
        // What the server keeps after a small virtual keyboard's keymap.
        {"no modifier map", [](XkbDescPtr) {}, true, false},
        {"no key types",
         [](XkbDescPtr x) {
             XkbFreeClientMap(x, XkbKeyTypesMask, False);
             x->map->types = nullptr;
             x->map->num_types = 0;
         },
         false, false},
        {"a key naming a type that is not there",
         [](XkbDescPtr x) { x->map->key_sym_map[KeyB].kt_index[0] = 200; }, true, false},
        {"symbols shorter than the keys say",
         [](XkbDescPtr x) { x->map->num_syms = x->map->key_sym_map[KeyB].offset; }, true, false},
        {"no symbols", [](XkbDescPtr x) { x->map->syms = nullptr; }, false, false},
        {"no key symbol map", [](XkbDescPtr x) { x->map->key_sym_map = nullptr; }, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Map xkb = usableMap(false);
        XkbSymMapPtr keys = xkb->map->key_sym_map;
        KeySym* syms = xkb->map->syms;
        c.breakIt(xkb.get());
        const XkbLayout layout = layoutFromXkbMap(xkb.get(), 0);
        EXPECT_EQ(strokeOf(layout, XK_a).has_value(), c.aTypes);
        EXPECT_EQ(strokeOf(layout, XK_B).has_value(), c.shiftedBTypes);
        EXPECT_EQ(layout.modifierKeycodes, (std::array<uint8_t, 8>{}));
        xkb->map->key_sym_map = keys;  // given back for the deleter
        xkb->map->syms = syms;
    }
}

TEST(XkbLayout, NoMapAtAllIsAnEmptyLayout) {
    EXPECT_TRUE(layoutFromXkbMap(nullptr, 0).levels.empty());
    Map xkb(XkbAllocKeyboard());
    EXPECT_TRUE(layoutFromXkbMap(xkb.get(), 1).levels.empty());
}

}  // namespace
}  // namespace qm::linux_platform
