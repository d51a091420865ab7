#pragma once

#include "platform/platform.h"

namespace drvsweep {

// How a restart treats the programs that run: the window forces them closed, as its user asked
// for the restart; a command-line run lets them ask to save their work.
enum class RestartMode { ForceProgramsClosed, LetProgramsSave };

// Restarts the machine at once (ExitWindowsEx with EWX_REBOOT, and EWX_FORCE when forcing
// other programs closed). On the NT family it first enables SeShutdownPrivilege in the own
// process's token; when the token cannot be opened or the privilege not looked up, that step
// is left out and the restart is still asked for. Returns whether the system accepted the
// request; the window does not examine it.
bool RestartSystem(Platform& platform, RestartMode mode = RestartMode::ForceProgramsClosed);

}  // namespace drvsweep
