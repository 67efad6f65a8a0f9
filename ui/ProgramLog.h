#pragma once

#include <ostream>
#include <string_view>

namespace qm::ui {

// "program: text" as one line on `log` (standard error in the programs; null writes nothing),
// for a failure a box also shows: whoever started the program from a terminal or a script
// sees it there too.
void logFailure(std::ostream* log, std::string_view text);

}  // namespace qm::ui
