#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qm {

// One transaction of an engine sequence that did not succeed.
struct FailedTransaction {
    enum class Kind : uint8_t { ParameterRequest, ScanEnable, Parameter, ExtendedParameter };

    Kind kind;
    uint8_t number;  // the parameter, for the two parameter kinds
    // The transaction's link status; 0 for a parameter request no parameters came back to.
    int32_t status;

    bool operator==(const FailedTransaction&) const = default;
};

// What a sequence tells beyond the LinkStatus its last transaction leaves, which hides
// every earlier failure.
struct SequenceReport {
    std::vector<FailedTransaction> failed;  // in the order they happened
    size_t attempted = 0;                   // transactions, failed ones included
    // burnDefaults only: the entries the engine's read-back does not match, why the factory
    // profile was refused, and whether the working profile now holds the burned one.
    std::vector<uint8_t> differing;
    std::string profileFault;
    bool workingProfileWritten = false;

    bool everyTransactionSucceeded() const { return failed.empty(); }
};

}  // namespace qm
