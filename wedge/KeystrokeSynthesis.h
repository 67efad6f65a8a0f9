#pragma once

#include <cstdint>

namespace qm {

class Keyboard;

// Types decoded data as if on a US keyboard: every byte becomes a key press (with Shift
// around it where US needs Shift), back to back, nothing left pressed.
void typeDecodedData(Keyboard& keyboard, const uint8_t* data, int count);

}  // namespace qm
