#pragma once

#include <filesystem>
#include <string>

#include "ui/app/PortChoice.h"

namespace qm::app {

// What the device root's COM3 stands for: where its link points, the entry itself when it is
// no link, empty when there is none (no port was ever chosen).
std::string portOf(const std::filesystem::path& root);

// The port chooser's choice kept as the root's COM3, a link to the device's path (its
// /dev/serial/by-id name where it has one, so it survives a re-plug in another socket).
ui::PortChoice portChoiceIn(const std::filesystem::path& root, SerialDevices& devices);

}  // namespace qm::app
