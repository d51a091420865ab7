#pragma once

#include "platform/platform.h"

namespace drvsweep {

// Restarts the machine at once, forcing other programs closed (ExitWindowsEx with
// EWX_REBOOT | EWX_FORCE). On the NT family it first enables SeShutdownPrivilege in the own
// process's token; when the token cannot be opened or the privilege not looked up, that step
// is left out and the restart is still asked for. No result is examined.
void RestartSystem(Platform& platform);

}  // namespace drvsweep
