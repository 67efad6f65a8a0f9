#pragma once

namespace qm {

struct ProcessState;

// The user's side of one scan: sounds and popups, as far as the settings ask for them. Each
// feedback call is a request that returns at once; the pauses between them are the cycle's own,
// cut short when another thread wants the link (then no popup is shown at all).

// The good-read sound, then the good-read popup for 1.5 s.
void giveGoodReadFeedback(ProcessState& state);

// The no-read sound twice, a quarter second apart.
void playNoReadBeeps(ProcessState& state);

// The no-read popup for 1.5 s.
void showNoReadPopup(ProcessState& state);

}  // namespace qm
