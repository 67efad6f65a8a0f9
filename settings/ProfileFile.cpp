#include "settings/ProfileFile.h"

#include "platform/FileSystem.h"
#include "settings/FormatConfigText.h"
#include "settings/ParseConfigText.h"
#include "settings/ReconcileTimeIndexes.h"

namespace qm {

bool readProfile(FileSystem& files, std::string_view path, ScanSettings& settings,
                 CommandArray& commands, std::string* reason, bool* missing) {
    auto contents = files.readRegularFile(path, kMaxProfileBytes);
    if (missing) *missing = contents.missing;
    if (!contents.bytes) {
        if (reason) *reason = "the file " + contents.fault;
        return false;
    }
    // A refused file must not leave half of itself behind, so read into copies first.
    ScanSettings readSettings = settings;
    CommandArray readCommands = commands;
    if (!parseConfigText(*contents.bytes, readSettings, readCommands, reason)) return false;
    settings = readSettings;
    commands = readCommands;
    return true;
}

bool writeProfile(FileSystem& files, std::string_view path, ScanSettings& settings,
                  const CommandArray& commands) {
    ScanSettings reconciled = settings;
    reconcileTimeIndexes(reconciled);
    if (!files.writeFileAtomically(path, formatConfigText(reconciled, commands))) return false;
    settings.scanTimeText = reconciled.scanTimeText;
    settings.scanTimeIndex = reconciled.scanTimeIndex;
    settings.targetTimeText = reconciled.targetTimeText;
    settings.targetTimeIndex = reconciled.targetTimeIndex;
    return true;
}

}  // namespace qm
