#pragma once

#include <QString>

namespace qm::ui {

// A resource read from its file, or the reason it could not be.
template <typename T>
struct Loaded {
    T value{};
    QString error;

    bool ok() const { return error.isEmpty(); }
};

}  // namespace qm::ui
