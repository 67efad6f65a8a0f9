#pragma once

#include <atomic>

namespace qm {

// A value the scanning thread and the user-interface thread both touch, inside records that
// are copied whole (a parsed profile is committed by assignment). Copying loads and stores
// the value; it is not one atomic step for the whole record, and need not be.
template <typename T>
class CopyableAtomic {
public:
    CopyableAtomic() = default;
    explicit CopyableAtomic(T value) : value_(value) {}
    CopyableAtomic(const CopyableAtomic& other) : value_(other.load()) {}
    CopyableAtomic& operator=(const CopyableAtomic& other) {
        store(other.load());
        return *this;
    }
    CopyableAtomic& operator=(T value) {
        store(value);
        return *this;
    }

    T load() const { return value_.load(); }
    void store(T value) { value_.store(value); }
    operator T() const { return load(); }

    bool operator==(const CopyableAtomic& other) const { return load() == other.load(); }

private:
    std::atomic<T> value_{};
};

}  // namespace qm
