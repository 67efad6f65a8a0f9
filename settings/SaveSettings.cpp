#include "settings/SaveSettings.h"

#include "platform/FileSystem.h"
#include "settings/ConfigFolder.h"
#include "settings/FormatConfigText.h"
#include "settings/ProcessState.h"
#include "settings/ReconcileTimeIndexes.h"

namespace qm {

int saveSettings(ProcessState& state, std::string_view fileName) {
    if (state.platform.files == nullptr) return 0;
    const std::string path = profilePath(state.configFolder, fileName);
    ScanSettings reconciled = state.scanSettings;
    reconcileTimeIndexes(reconciled);
    const std::string text = formatConfigText(reconciled, state.commandArray);
    if (!state.platform.files->writeFileAtomically(path, text)) return 0;

    ScanSettings& settings = state.scanSettings;
    settings.scanTimeText = reconciled.scanTimeText;
    settings.scanTimeIndex = reconciled.scanTimeIndex;
    settings.targetTimeText = reconciled.targetTimeText;
    settings.targetTimeIndex = reconciled.targetTimeIndex;
    return 1;
}

}  // namespace qm
