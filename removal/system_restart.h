#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace drvsweep {

// The shutdown reason a restart gives where Windows records one (XP and later): planned, for
// an application's installation (SHTDN_REASON_MAJOR_APPLICATION |
// SHTDN_REASON_MINOR_INSTALLATION | SHTDN_REASON_FLAG_PLANNED), as a setup program's restart is
// logged.
constexpr std::uint32_t kPlannedInstallationRestart = 0x80040002;

// Restarts the machine as Start > Restart does: the other programs are asked to close and may
// save their work or refuse. On the NT family from Windows 2000 a program that does not answer
// is closed (EWX_REBOOT | EWX_FORCEIFHUNG); older systems know only EWX_REBOOT. From XP the
// planned reason above goes with the request; earlier systems reserve that argument (0). On the
// NT family SeShutdownPrivilege is first enabled in the own process's token; when the token
// cannot be opened or the privilege not looked up, that step is left out and the restart is
// still asked for. Returns whether Windows accepted the request (a program may still cancel
// the restart later).
bool RestartSystem(Platform& platform);

}  // namespace drvsweep
