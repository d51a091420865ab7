#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "removal/removal_targets.h"

namespace drvsweep {

// What became of a driver package: whether Windows asked for a restart to finish it, and the
// error of the last uninstall call that failed when the package is still staged.
struct PackageRemoval {
    bool restartNeeded = false;
    std::uint32_t windowsError = 0;
    // The package is still staged and its files were left alone, not to be deleted by hand.
    bool stillStaged = false;
};

// Removes the scanner's INF as a driver package, so that Windows does not install it again
// from its driver store when the scanner is plugged in next. An INF with a system name
// (target.infName, see DriverPackageTargetOf) is first uninstalled through the system: on
// Windows 10 version 1703 and later with DiUninstallDriverW; otherwise, or when that call is
// missing or fails, with SetupUninstallOEMInfA, retried with SUOI_FORCEDELETE when devices
// still use the INF. From Vista on, where Windows keeps the package in its driver store, the
// .inf and .pnf are deleted by hand only once a call succeeded or the store no longer knows
// the package (DriverStoreInf): an INF deleted by hand would leave the store's copy for Windows
// to install again. Before Vista, and for an INF without a system name, infPath and
// target.pnfPath are deleted with the one-file step whatever those calls did.
PackageRemoval RemoveDriverPackage(Platform& platform, const char* infPath,
                                   const DriverPackageTarget& target);

}  // namespace drvsweep
