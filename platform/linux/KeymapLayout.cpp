#include "platform/linux/KeymapLayout.h"

#include <xkbcommon/xkbcommon-keysyms.h>

#include <algorithm>
#include <bit>
#include <iterator>
#include <optional>

#include "platform/linux/Xkbcommon.h"

namespace qm::linux_platform {
namespace {

constexpr xkb_keycode_t HighestKeycode = 255;

// Keys that act as modifiers while held, most ordinary first.
constexpr xkb_keysym_t HoldableModifiers[] = {
    XKB_KEY_Shift_L,
    XKB_KEY_Shift_R,
    XKB_KEY_ISO_Level3_Shift,
    XKB_KEY_ISO_Level5_Shift,
    XKB_KEY_Control_L,
    XKB_KEY_Control_R,
    XKB_KEY_Alt_L,
    XKB_KEY_Alt_R,
    XKB_KEY_Meta_L,
    XKB_KEY_Meta_R,
    XKB_KEY_Super_L,
    XKB_KEY_Super_R,
    XKB_KEY_Hyper_L,
    XKB_KEY_Hyper_R,
};

size_t holdRank(xkb_keysym_t keysym) {
    const auto* found =
        std::find(std::begin(HoldableModifiers), std::end(HoldableModifiers), keysym);
    return static_cast<size_t>(found - std::begin(HoldableModifiers));
}

// The modifiers a key sets while held; nothing for keys that latch or lock (Caps Lock would
// stay on) or set nothing.
std::optional<xkb_mod_mask_t> heldModifiers(xkb_keymap* keymap, xkb_keycode_t keycode) {
    const XkbStatePtr state(xkb_state_new(keymap));
    if (!state) return std::nullopt;
    xkb_state_update_key(state.get(), keycode, XKB_KEY_DOWN);
    const xkb_mod_mask_t held = xkb_state_serialize_mods(state.get(), XKB_STATE_MODS_DEPRESSED);
    const xkb_mod_mask_t sticky = xkb_state_serialize_mods(
        state.get(), xkb_state_component(XKB_STATE_MODS_LATCHED | XKB_STATE_MODS_LOCKED));
    if (held == 0 || sticky != 0) return std::nullopt;
    return held;
}

// For each real modifier, the key that sets it alone, the most ordinary one first.
std::array<uint8_t, 8> holdableModifierKeys(xkb_keymap* keymap, xkb_layout_index_t layout) {
    std::array<uint8_t, 8> keys{};
    std::array<size_t, 8> rank;
    rank.fill(std::size(HoldableModifiers) + 1);
    const xkb_keycode_t last = std::min(xkb_keymap_max_keycode(keymap), HighestKeycode);
    for (xkb_keycode_t kc = xkb_keymap_min_keycode(keymap); kc <= last; ++kc) {
        const auto held = heldModifiers(keymap, kc);
        if (!held || !std::has_single_bit(*held) || *held > 0xFF) continue;
        const xkb_keysym_t* syms = nullptr;
        const int count = xkb_keymap_key_get_syms_by_level(keymap, kc, layout, 0, &syms);
        const size_t r = holdRank(count > 0 ? syms[0] : XKB_KEY_NoSymbol);
        const auto mod = static_cast<size_t>(std::countr_zero(*held));
        if (r < rank[mod]) {
            rank[mod] = r;
            keys[mod] = static_cast<uint8_t>(kc);
        }
    }
    return keys;
}

bool canHold(xkb_mod_mask_t mask, const std::array<uint8_t, 8>& modifierKeys) {
    if (mask > 0xFF) return false;
    for (int mod = 0; mod < 8; ++mod)
        if ((mask & (1u << mod)) && modifierKeys[mod] == 0) return false;
    return true;
}

std::optional<unsigned> modifiersForLevel(xkb_keymap* keymap, xkb_keycode_t kc,
                                          xkb_layout_index_t layout, xkb_level_index_t level,
                                          const std::array<uint8_t, 8>& modifierKeys) {
    xkb_mod_mask_t masks[16];
    const size_t count =
        xkb_keymap_key_get_mods_for_level(keymap, kc, layout, level, masks, std::size(masks));
    std::optional<unsigned> best;
    for (size_t i = 0; i < count; ++i) {
        if (!canHold(masks[i], modifierKeys)) continue;
        if (!best || std::popcount(masks[i]) < std::popcount(*best)) best = masks[i];
    }
    return best;
}

// A layout the key lacks wraps around, as xkbcommon does by default.
xkb_layout_index_t layoutOfKey(xkb_keymap* keymap, xkb_keycode_t kc, xkb_layout_index_t layout) {
    const xkb_layout_index_t count = xkb_keymap_num_layouts_for_key(keymap, kc);
    return count == 0 ? count : layout % count;
}

void addKeyLevels(xkb_keymap* keymap, xkb_keycode_t kc, XkbLayout& result) {
    if (xkb_keymap_num_layouts_for_key(keymap, kc) == 0) return;
    const xkb_layout_index_t layout = layoutOfKey(keymap, kc, static_cast<uint32_t>(result.group));
    const xkb_level_index_t levels = xkb_keymap_num_levels_for_key(keymap, kc, layout);
    for (xkb_level_index_t level = 0; level < levels; ++level) {
        const xkb_keysym_t* syms = nullptr;
        // A level of several keysyms types a string; a typist's single key is one keysym.
        if (xkb_keymap_key_get_syms_by_level(keymap, kc, layout, level, &syms) != 1) continue;
        const auto mods = modifiersForLevel(keymap, kc, layout, level, result.modifierKeycodes);
        if (!mods) continue;
        result.levels.push_back({syms[0], {static_cast<uint8_t>(kc), *mods}});
    }
}

}  // namespace

XkbLayout layoutFromKeymap(xkb_keymap* keymap, uint32_t layoutIndex) {
    XkbLayout result;
    result.group = static_cast<int>(layoutIndex);
    if (!keymap) return result;
    result.modifierKeycodes = holdableModifierKeys(keymap, layoutIndex);
    const xkb_keycode_t last = std::min(xkb_keymap_max_keycode(keymap), HighestKeycode);
    for (xkb_keycode_t kc = xkb_keymap_min_keycode(keymap); kc <= last; ++kc)
        addKeyLevels(keymap, kc, result);
    return result;
}

}  // namespace qm::linux_platform
