#pragma once

#include <memory>

#include "engine/PacketTrace.h"
#include "platform/Clock.h"

namespace qm::app {

// The packet trace of the Qt programs, written through Qt's logging under the category
// "quillmark.packets". On when `asked` (--trace) or when the logging rules enable that
// category's debug messages (QT_LOGGING_RULES="quillmark.packets.debug=true"); null when off.
// Call it once the application object exists, which reads the rules.
std::unique_ptr<PacketTrace> packetTraceFor(bool asked, Clock& clock);

}  // namespace qm::app
