#include "apps/desktop/ShortcutTrigger.h"

#include <cstdint>

#include "settings/TriggerKeyTable.h"

namespace qm::desktop {

namespace {

// The keysym name of each key a trigger key can be: the handheld's F1-F5 codes, the standard
// function keys the fallbacks are, and the named keys of the table.
QString triggerFor(uint8_t virtualKey) {
    if (virtualKey >= 0xE9 && virtualKey <= 0xED) return QString("F%1").arg(virtualKey - 0xE8);
    if (virtualKey >= 0x70 && virtualKey <= 0x7B) return QString("F%1").arg(virtualKey - 0x6F);
    switch (virtualKey) {
        case 0x0D:
            return "Return";
        case 0x09:
            return "Tab";
        case 0x12:
            return "Alt_L";
        case 0x11:
            return "Control_L";
        default:
            return {};
    }
}

}  // namespace

QString scanKeyTrigger(const QString& scanKeyName) {
    return triggerFor(scanKeyCode(scanKeyName.toStdString()));
}

QString targetKeyTrigger(const QString& targetKeyName) {
    return triggerFor(targetKeyCode(1, targetKeyName.toStdString()));
}

}  // namespace qm::desktop
