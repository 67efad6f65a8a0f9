#include "session/SettingChange.h"

#include "engine/ParameterExchange.h"
#include "platform/Clock.h"
#include "session/SaveSettings.h"
#include "session/StatusLine.h"
#include "session/UnsavedChange.h"
#include "settings/ParameterNumbers.h"
#include "settings/ParameterValues.h"
#include "settings/SettingsFields.h"
#include "state/ProcessState.h"

namespace qm {

namespace {

constexpr int64_t kFeedbackPauseMs = 250;

void show(StatusLine* status, std::string_view text) {
    if (status) status->showStatus(text);
}

const SettingsField& fieldOf(std::string_view name) { return *findSettingsField(name); }

void storeInt(ProcessState& state, std::string_view field, int32_t value) {
    fieldOf(field).intIn(state.scanSettings) = value;
}

int32_t firstFailure(int32_t first, int32_t second) { return first != 0 ? first : second; }

// Sends one catalogue value and records it in CommandArray whatever the send gave.
int32_t sendAndRecord(ProcessState& state, StatusLine* status, uint8_t parameter, uint8_t value) {
    const int32_t result = sendOption(state, status, parameter, value);
    state.commandArray[parameter] = value;
    return result;
}

// Ticking one of the two Code 39 kinds clears the other, which is sent after it.
int32_t changeCode39Kind(ProcessState& state, StatusLine* status, const CatalogueEntry& entry,
                         bool ticked) {
    const bool code39 = entry.parameter == kCode39Parameter;
    const uint8_t other = code39 ? kTriopticCode39Parameter : kCode39Parameter;
    const std::string_view otherField = code39 ? "enableTriopticCode39" : "enableCode39";
    int32_t result = sendAndRecord(state, status, entry.parameter, ticked ? 1 : 0);
    if (ticked) {
        storeInt(state, otherField, 0);
        result = firstFailure(result, sendAndRecord(state, status, other, 0));
    }
    storeInt(state, entry.field, ticked ? 1 : 0);
    showIfUnsaved(status, saveActiveProfile(state), result);
    return result;
}

// "RSS" reports its send on the status line; "RSS-14 Limited" and "RSS-14 Extended" store
// their field first and show nothing.
int32_t changeExtendedCheckBox(ProcessState& state, StatusLine* status, const CatalogueEntry& entry,
                               bool ticked) {
    const uint8_t value = ticked ? 1 : 0;
    const bool reported = entry.parameter == kRssParameter;
    if (reported) show(status, kUpdatingSettings);
    if (!reported) storeInt(state, entry.field, value);
    const int32_t result = setExtendedParameter(state.link, entry.parameter, value);
    state.commandArray[entry.parameter] = value;
    if (reported) storeInt(state, entry.field, value);
    const int saved = saveActiveProfile(state);
    if (reported) show(status, result != 0 ? kSettingsNotUpdated : kSettingsUpdated);
    showIfUnsaved(status, saved, result);
    return result;
}

// The format and the Code ID choices change what the scan finds in a decode; a text outside
// the list is taken as the 0 it sends.
void followInLink(ProcessState& state, uint8_t parameter) {
    constexpr auto kZero = LinkSettings::UnknownText::GivesZero;
    if (parameter == kDataFormatParameter)
        state.linkSettings.copyDataFormatFrom(state.scanSettings, kZero);
    if (parameter == kCodeIdParameter)
        state.linkSettings.copyCodeIdModeFrom(state.scanSettings, kZero);
}

}  // namespace

int32_t sendOption(ProcessState& state, StatusLine* status, uint8_t parameter, uint8_t value) {
    show(status, kUpdatingSettings);
    const int32_t result = setParameter(state.link, parameter, value);
    show(status, result != 0 ? kSettingsNotUpdated : kSettingsUpdated);
    return result;
}

int32_t changeCheckBox(ProcessState& state, StatusLine* status, const CatalogueEntry& entry,
                       bool ticked) {
    const auto hold = state.link.holdLink();
    if (entry.extended) return changeExtendedCheckBox(state, status, entry, ticked);
    if (entry.parameter == kCode39Parameter || entry.parameter == kTriopticCode39Parameter)
        return changeCode39Kind(state, status, entry, ticked);
    const int32_t result = sendAndRecord(state, status, entry.parameter, ticked ? 1 : 0);
    storeInt(state, entry.field, ticked ? 1 : 0);
    showIfUnsaved(status, saveActiveProfile(state), result);
    return result;
}

std::optional<int> stepLength(ProcessState& state, StatusLine* status, const CatalogueEntry& entry,
                              int position, int delta) {
    if ((position <= 0 && delta < 0) || (position == kLongestLength && delta > 0))
        return std::nullopt;
    // A stored length above the spin's range comes back into it on its first step.
    if (position > kLongestLength) {
        position = kLongestLength;
        delta = 0;
    }
    const int length = position + delta;
    const auto hold = state.link.holdLink();
    storeInt(state, entry.field, length);
    // Recorded before the save too, or the file would keep the old value beside the new length.
    state.commandArray[entry.parameter] = static_cast<uint8_t>(length);
    const int saved = saveActiveProfile(state);
    const int32_t result =
        sendAndRecord(state, status, entry.parameter, static_cast<uint8_t>(length));
    showIfUnsaved(status, saved, result);
    return length;
}

int32_t chooseListText(ProcessState& state, StatusLine* status, const CatalogueEntry& entry,
                       std::string_view text) {
    const auto hold = state.link.holdLink();
    fieldOf(entry.field).textIn(state.scanSettings) = std::string(text);
    std::optional<int32_t> result;
    if (const auto value = entry.values->valueOf(text))
        result = sendAndRecord(state, status, entry.parameter, *value);
    showIfUnsaved(status, saveActiveProfile(state), result);
    return result.value_or(kLinkOk);
}

int32_t chooseDataFormatText(ProcessState& state, StatusLine* status, const CatalogueEntry& entry,
                             std::string_view text) {
    const auto hold = state.link.holdLink();
    std::string& stored = fieldOf(entry.field).textIn(state.scanSettings);
    std::optional<int32_t> result;
    if (stored != text) {
        stored = std::string(text);
        followInLink(state, entry.parameter);
        result =
            sendAndRecord(state, status, entry.parameter, entry.values->valueOf(text).value_or(0));
    }
    stored = std::string(text);
    showIfUnsaved(status, saveActiveProfile(state), result);
    return result.value_or(kLinkOk);
}

void changeFeedbackFlag(ProcessState& state, StatusLine* status, std::string_view field,
                        bool ticked) {
    show(status, kUpdatingSettings);
    storeInt(state, field, ticked ? 1 : 0);
    const int saved = saveActiveProfile(state);
    state.platform.clock.sleepMs(kFeedbackPauseMs);
    show(status, saved != 0 ? kSettingsUpdated : kSettingsNotSaved);
}

}  // namespace qm
