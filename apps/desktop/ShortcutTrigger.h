#pragma once

#include <QString>

namespace qm::desktop {

// The trigger a desktop is asked to bind for a trigger key name of the profile, in the
// shortcut notation of the freedesktop portals ("F3", "Return", "Control_L"). A name outside
// the trigger key table gives the key the wedge falls back to: F3 for the scan key, F4 for
// the target key.
QString scanKeyTrigger(const QString& scanKeyName);
QString targetKeyTrigger(const QString& targetKeyName);

}  // namespace qm::desktop
