#pragma once

#include <string>
#include <string_view>

namespace qm {

struct ProcessState;

// What became of a profile file that is there but could not be read.
struct KeptAside {
    bool kept = false;
    std::string where;  // its new name as the user finds it on this machine, when kept
    std::string fault;  // why it could not be renamed, otherwise
};

// Gives the file `fileName` of the profile folder the first free name that says it could not
// be read ("User2.cfg.unreadable", then "User2.cfg.unreadable-2", ...), replacing nothing, so
// that no later save writes over what the user had there.
KeptAside keepUnreadableProfileAside(ProcessState& state, std::string_view fileName);

}  // namespace qm
