#pragma once

namespace qm {

class Clock;
class SerialPortOpener;
class FileSystem;
class Keyboard;
class KeyState;
class Feedback;
class DeviceLibrary;
class NamedMutexes;

// The handheld's operating system as the system sees it: one narrow seam per service.
// Each member is owned elsewhere (by the program or the test) and outlives this bundle;
// a null seam is one the program at hand does not use.
struct Platform {
    Clock& clock;
    SerialPortOpener& serial;
    FileSystem* files = nullptr;
    Keyboard* keyboard = nullptr;
    KeyState* keys = nullptr;
    Feedback* feedback = nullptr;
    DeviceLibrary* device = nullptr;
    NamedMutexes* mutexes = nullptr;
};

}  // namespace qm
