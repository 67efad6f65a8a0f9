#pragma once

namespace qm {

class Clock;
class SerialPortOpener;
class FileSystem;

// The handheld's operating system as the system sees it: one narrow seam per service.
// Each member is owned elsewhere (by the program or the test) and outlives this bundle.
struct Platform {
    Clock& clock;
    SerialPortOpener& serial;
    FileSystem* files = nullptr;
};

}  // namespace qm
