#pragma once

#include "engine/ScanEngineLink.h"

namespace qm {

// Held for the length of one transaction: when it goes, it tells the link's trace (if any)
// the LinkStatus the transaction left. Declare it after the link hold, so it reports before
// the other thread can take the link.
class TracedTransaction {
public:
    TracedTransaction(ScanEngineLink& link, const char* operation)
        : link_(link), trace_(link.trace()), operation_(operation) {}
    ~TracedTransaction() {
        if (trace_)
            trace_->transactionEnded(link_.clock().nowMicros(), operation_, link_.LinkStatus);
    }
    TracedTransaction(const TracedTransaction&) = delete;
    TracedTransaction& operator=(const TracedTransaction&) = delete;

private:
    ScanEngineLink& link_;
    PacketTrace* const trace_;
    const char* const operation_;
};

}  // namespace qm
