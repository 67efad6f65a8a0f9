#pragma once

#include <xkbcommon/xkbcommon.h>

#include <memory>

namespace qm::linux_platform {

struct XkbcommonUnref {
    void operator()(xkb_context* c) const { xkb_context_unref(c); }
    void operator()(xkb_keymap* k) const { xkb_keymap_unref(k); }
    void operator()(xkb_state* s) const { xkb_state_unref(s); }
};
using XkbContextPtr = std::unique_ptr<xkb_context, XkbcommonUnref>;
using XkbKeymapPtr = std::unique_ptr<xkb_keymap, XkbcommonUnref>;
using XkbStatePtr = std::unique_ptr<xkb_state, XkbcommonUnref>;

// A keymap made by the layout names of xkeyboard-config ("de", "us" "intl"); empty names are
// the defaults (the XKB_DEFAULT_* environment variables, else us). Null when it cannot be
// compiled.
XkbKeymapPtr keymapFromNames(const char* layout, const char* variant = nullptr);

}  // namespace qm::linux_platform
