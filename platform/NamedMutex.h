#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

namespace qm {

inline constexpr uint32_t kErrorAlreadyExists = 183;

// A named mutex held from its creation to the end of the object: the single-instance guard.
// The system releases it when the process dies, so a crash never blocks the next start.
class NamedMutex {
public:
    virtual ~NamedMutex() = default;
};

struct MutexCreation {
    std::unique_ptr<NamedMutex> mutex;  // null when creation failed outright
    uint32_t lastError = 0;             // kErrorAlreadyExists: another process holds it
};

class NamedMutexes {
public:
    virtual ~NamedMutexes() = default;
    virtual MutexCreation createMutex(std::u16string_view name) = 0;
};

}  // namespace qm
