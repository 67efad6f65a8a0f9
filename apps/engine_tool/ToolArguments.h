#pragma once

#include "platform/ParseByte.h"

namespace qm::tool {

// Parameter numbers and values on the command line are written as everywhere else.
using qm::parseByte;

}  // namespace qm::tool
