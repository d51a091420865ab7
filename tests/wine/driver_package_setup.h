#pragma once

#include <string>

namespace drvsweep::testing {

// Installs a driver package's INF into the Wine prefix the way Windows installs one:
// SetupCopyOEMInfA copies the INF at sourceInf (a Windows path) into the INF folder, where the
// system also makes its .pnf. Returns the installed INF's file name, or empty on failure.
std::string InstallDriverPackage(const std::string& sourceInf);

}  // namespace drvsweep::testing
