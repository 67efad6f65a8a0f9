#pragma once

#include <functional>
#include <string>

namespace qm {
class SerialDevices;
}

namespace qm::ui {

// What the wedge needs to let the user choose the engine's port; the simulated handheld has
// nothing to choose.
struct PortChoice {
    SerialDevices* devices = nullptr;
    // The device the port stands for now, as the user knows it; empty when none was chosen.
    std::function<std::string()> current;
    // Keeps `path` as the port for this run and the next; false, with `error`, when it cannot.
    std::function<bool(const std::string& path, std::string& error)> keep;

    bool available() const { return devices && current && keep; }
};

}  // namespace qm::ui
