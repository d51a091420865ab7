#pragma once

#include "platform/platform.h"
#include "removal/removal_targets.h"

namespace drvsweep {

// Removes the scanner's INF as a driver package, so that Windows does not install it again
// from its driver store when the scanner is plugged in next. An INF with a system name
// (target.infName, see DriverPackageTargetOf) is first uninstalled through the system: on
// Windows 10 version 1703 and later with DiUninstallDriverW; otherwise, or when that call is
// missing or fails, with SetupUninstallOEMInfA, retried with SUOI_FORCEDELETE when devices
// still use the INF. Then, whatever those calls did, infPath and target.pnfPath are deleted
// with the one-file step if they are still there. Returns whether DiUninstallDriverW asked for
// a restart.
bool RemoveDriverPackage(Platform& platform, const char* infPath,
                         const DriverPackageTarget& target);

}  // namespace drvsweep
