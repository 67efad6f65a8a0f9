#include "platform/linux/XkbLayout.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>
#include <bit>
#include <memory>
#include <optional>

namespace qm::linux_platform {
namespace {

// Keys that act as modifiers while held, most ordinary first.
constexpr KeySym HoldableModifiers[] = {
    XK_Shift_L, XK_Shift_R, XK_ISO_Level3_Shift, XK_ISO_Level5_Shift, XK_Control_L, XK_Control_R,
    XK_Alt_L,   XK_Alt_R,   XK_Meta_L,           XK_Meta_R,           XK_Super_L,   XK_Super_R,
    XK_Hyper_L, XK_Hyper_R,
};

struct XkbDescDeleter {
    void operator()(XkbDescPtr xkb) const { XkbFreeKeyboard(xkb, 0, True); }
};

KeySym firstKeysym(XkbDescPtr xkb, int keycode) {
    return XkbKeyNumGroups(xkb, keycode) > 0 ? XkbKeySymEntry(xkb, keycode, 0, 0) : NoSymbol;
}

std::array<uint8_t, 8> holdableModifierKeys(XkbDescPtr xkb) {
    std::array<uint8_t, 8> keys{};
    std::array<size_t, 8> rank;
    rank.fill(std::size(HoldableModifiers));
    for (int kc = xkb->min_key_code; kc <= xkb->max_key_code; ++kc) {
        const auto* found = std::find(std::begin(HoldableModifiers), std::end(HoldableModifiers),
                                      firstKeysym(xkb, kc));
        const auto r = static_cast<size_t>(found - std::begin(HoldableModifiers));
        for (int mod = 0; mod < 8; ++mod) {
            if ((xkb->map->modmap[kc] & (1u << mod)) && r < rank[mod]) {
                rank[mod] = r;
                keys[mod] = static_cast<uint8_t>(kc);
            }
        }
    }
    return keys;
}

bool canHold(unsigned mask, const std::array<uint8_t, 8>& modifierKeys) {
    for (int mod = 0; mod < 8; ++mod)
        if ((mask & (1u << mod)) && modifierKeys[mod] == 0) return false;
    return true;
}

// The fewest modifiers that select this level of the key's type.
std::optional<unsigned> modifiersForLevel(const XkbKeyTypeRec& type, int level,
                                          const std::array<uint8_t, 8>& modifierKeys) {
    if (level == 0) return 0u;
    std::optional<unsigned> best;
    for (int i = 0; i < type.map_count; ++i) {
        const XkbKTMapEntryRec& entry = type.map[i];
        if (!entry.active || entry.level != level || !canHold(entry.mods.mask, modifierKeys))
            continue;
        if (!best || std::popcount(entry.mods.mask) < std::popcount(*best)) best = entry.mods.mask;
    }
    return best;
}

int effectiveGroup(XkbDescPtr xkb, int keycode, int group) {
    const int groups = XkbKeyNumGroups(xkb, keycode);
    if (group < groups) return group;
    const unsigned char info = XkbKeyGroupInfo(xkb, keycode);
    switch (XkbOutOfRangeGroupAction(info)) {
        case XkbRedirectIntoRange: {
            const int g = XkbOutOfRangeGroupNumber(info);
            return g < groups ? g : 0;
        }
        case XkbClampIntoRange:
            return groups - 1;
        default:
            return group % groups;
    }
}

void addKeyLevels(XkbDescPtr xkb, int keycode, XkbLayout& layout) {
    const int group = effectiveGroup(xkb, keycode, layout.group);
    const XkbKeyTypeRec& type = *XkbKeyKeyType(xkb, keycode, group);
    for (int level = 0; level < XkbKeyGroupWidth(xkb, keycode, group); ++level) {
        const KeySym keysym = XkbKeySymEntry(xkb, keycode, level, group);
        if (keysym == NoSymbol) continue;
        const auto mods = modifiersForLevel(type, level, layout.modifierKeycodes);
        if (!mods) continue;
        layout.levels.push_back(
            {static_cast<uint32_t>(keysym), {static_cast<uint8_t>(keycode), *mods}});
    }
}

}  // namespace

int activeXkbGroup(Display* display) {
    XkbStateRec state{};
    if (XkbGetState(display, XkbUseCoreKbd, &state) != Success) return 0;
    return state.group;
}

XkbLayout readXkbLayout(Display* display) {
    XkbLayout layout;
    layout.group = activeXkbGroup(display);
    const std::unique_ptr<XkbDescRec, XkbDescDeleter> xkb(
        XkbGetMap(display, XkbAllClientInfoMask, XkbUseCoreKbd));
    if (!xkb) return layout;
    layout.modifierKeycodes = holdableModifierKeys(xkb.get());
    for (int kc = std::max<int>(xkb->min_key_code, 8); kc <= xkb->max_key_code; ++kc) {
        if (XkbKeyNumGroups(xkb.get(), kc) > 0)
            addKeyLevels(xkb.get(), kc, layout);
        else if (xkb->map->modmap[kc] == 0)
            layout.spareKeycodes.push_back(static_cast<uint8_t>(kc));
    }
    return layout;
}

}  // namespace qm::linux_platform
