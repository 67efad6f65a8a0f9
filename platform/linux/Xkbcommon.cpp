#include "platform/linux/Xkbcommon.h"

namespace qm::linux_platform {

XkbKeymapPtr keymapFromNames(const char* layout, const char* variant) {
    const XkbContextPtr context(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
    if (!context) return nullptr;
    const xkb_rule_names names{nullptr, nullptr, layout, variant, nullptr};
    return XkbKeymapPtr(
        xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
}

}  // namespace qm::linux_platform
