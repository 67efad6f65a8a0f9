#pragma once

#include <iosfwd>

#include "engine/EngineParamTable.h"
#include "session/SequenceReport.h"
#include "settings/CommandArray.h"

namespace qm::tool {

// One line on `err` for each failed transaction of a sequence, naming the parameter; true
// when there was any.
bool printFailedTransactions(const SequenceReport& report, std::ostream& err);

// One line for each entry a burn's read-back does not match; true when there was any.
bool printDifferingEntries(const SequenceReport& report, const EngineParamTable& engine,
                           const CommandArray& profile, std::ostream& err);

}  // namespace qm::tool
