#pragma once

#include <cstdint>

namespace qm {

struct ProcessState;

// The scanning code's own pauses, as waits on the scanning thread's wake-up rather than
// sleeps: each lasts its time exactly unless what it belongs to has to end first.

// A pause between polls (after an aim toggle, after a scan). Ends early only when the
// thread is asked to stop or its port was aborted.
void pauseBetweenPolls(ProcessState& state, int64_t ms);

// A wait inside a conversation with the engine (the one-button wait, the beeps, a popup).
// Ends early also as soon as another thread wants the link: a press of "Bar Code Setup" or
// "Exit" does not wait for a scan's feedback; and once the engine's device is gone.
void waitInConversation(ProcessState& state, int64_t ms);

}  // namespace qm
