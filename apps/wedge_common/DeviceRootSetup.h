#pragma once

#include <QString>
#include <filesystem>
#include <string>

namespace qm::app {

// $XDG_DATA_HOME/<program>, or ~/.local/share/<program>.
std::filesystem::path defaultDeviceRoot(const QString& program);

// Where the shipped profiles are: beside the installed program, else in the source tree.
std::filesystem::path shippedResources();

// The first run (no profile folder yet) creates the root and installs the shipped profiles; a
// later run leaves it as it is, a missing LastUser.cfg included, so that start-up reports it.
// False, with `error`, when the root could not be made.
bool prepareRootOnFirstRun(const std::filesystem::path& root, std::string& error);

// The root's COM3 made a link to `device`; it stays for later runs.
bool pointPortAt(const std::filesystem::path& root, const std::filesystem::path& device,
                 std::string& error);

}  // namespace qm::app
