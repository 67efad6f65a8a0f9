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

// A server may leave out any part of the map: a keymap uploaded by a small virtual keyboard
// has no modifier map, and a key may name a type or symbols that are not there.
bool hasSymbols(XkbDescPtr xkb, int keycode) {
    return xkb->map->key_sym_map && xkb->map->syms && XkbKeyNumGroups(xkb, keycode) > 0;
}

unsigned char modifiersOf(XkbDescPtr xkb, int keycode) {
    return xkb->map->modmap ? xkb->map->modmap[keycode] : 0;
}

KeySym keysymAt(XkbDescPtr xkb, int keycode, int level, int group) {
    const XkbSymMapRec& key = xkb->map->key_sym_map[keycode];
    if (level >= key.width) return NoSymbol;
    const int index = key.offset + group * key.width + level;
    return index < xkb->map->num_syms ? xkb->map->syms[index] : NoSymbol;
}

KeySym firstKeysym(XkbDescPtr xkb, int keycode) {
    return hasSymbols(xkb, keycode) ? keysymAt(xkb, keycode, 0, 0) : NoSymbol;
}

const XkbKeyTypeRec* keyType(XkbDescPtr xkb, int keycode, int group) {
    if (!xkb->map->types) return nullptr;
    const int index = xkb->map->key_sym_map[keycode].kt_index[group & 3];
    return index < xkb->map->num_types ? &xkb->map->types[index] : nullptr;
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
            if ((modifiersOf(xkb, kc) & (1u << mod)) && r < rank[mod]) {
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
    for (int i = 0; type.map && i < type.map_count; ++i) {
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
    const XkbKeyTypeRec* type = keyType(xkb, keycode, group);
    if (!type) return;
    for (int level = 0; level < type->num_levels; ++level) {
        const KeySym keysym = keysymAt(xkb, keycode, level, group);
        if (keysym == NoSymbol) continue;
        const auto mods = modifiersForLevel(*type, level, layout.modifierKeycodes);
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
    const std::unique_ptr<XkbDescRec, XkbDescDeleter> xkb(
        XkbGetMap(display, XkbAllClientInfoMask, XkbUseCoreKbd));
    return layoutFromXkbMap(xkb.get(), activeXkbGroup(display));
}

XkbLayout layoutFromXkbMap(XkbDescPtr xkb, int group) {
    XkbLayout layout;
    layout.group = group;
    if (!xkb || !xkb->map) return layout;
    layout.modifierKeycodes = holdableModifierKeys(xkb);
    for (int kc = std::max<int>(xkb->min_key_code, 8); kc <= xkb->max_key_code; ++kc) {
        if (hasSymbols(xkb, kc))
            addKeyLevels(xkb, kc, layout);
        else if (modifiersOf(xkb, kc) == 0)
            layout.spareKeycodes.push_back(static_cast<uint8_t>(kc));
    }
    return layout;
}

}  // namespace qm::linux_platform
