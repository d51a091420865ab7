#pragma once

#include "platform/platform.h"

namespace drvsweep {

// Removes the scanner's INF as a driver package, so that Windows does not install it again
// from its driver store when the scanner is plugged in next. An INF that lies directly in the
// INF folder (DriverPackageTargetOf) is first uninstalled through the system: on Windows 10
// version 1703 and later with DiUninstallDriverW; otherwise, or when that call is missing or
// fails, with SetupUninstallOEMInfA, retried with SUOI_FORCEDELETE when devices still use the
// INF. Then, whatever those calls did, infPath and the INF's .pnf are deleted with the one-file
// step if they are still there. Nothing is reported.
void RemoveDriverPackage(Platform& platform, const char* infPath);

}  // namespace drvsweep
