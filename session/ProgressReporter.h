#pragma once

#include <cstdint>
#include <memory>

namespace qm {

// What the engine sequences need of the progress dialog: a bar running from 0 to 85.
class ProgressReporter {
public:
    static constexpr int kLastPosition = 85;
    // How long a progress dialog stays up after its sequence's last step.
    static constexpr int64_t kLingerMs = 250;

    virtual ~ProgressReporter() = default;
    virtual void setPosition(int position) = 0;
    virtual void close() = 0;
};

// Creates a new progress dialog, for the sequence that shows one of its own.
class ProgressDialogFactory {
public:
    virtual ~ProgressDialogFactory() = default;
    virtual std::unique_ptr<ProgressReporter> createProgressDialog() = 0;
};

}  // namespace qm
