#include "session/UnsavedChange.h"

#include "session/StatusLine.h"

namespace qm {

void showIfUnsaved(StatusLine* status, int saved, std::optional<int32_t> engineResult) {
    if (saved != 0 || status == nullptr) return;
    if (!engineResult)
        status->showStatus(kSettingsNotSaved);
    else
        status->showStatus(*engineResult == 0 ? kSettingsUpdatedNotSaved
                                              : kSettingsNeitherUpdatedNorSaved);
}

}  // namespace qm
