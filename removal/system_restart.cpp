#include "removal/system_restart.h"

#include <cstdint>
#include <memory>

namespace drvsweep {

namespace {

constexpr std::uint32_t kTokenAdjustPrivileges = 0x20;
constexpr std::uint32_t kTokenQuery = 0x8;
constexpr std::uint32_t kPrivilegeEnabled = 0x2;
constexpr std::uint32_t kReboot = 0x2;  // EWX_REBOOT
constexpr std::uint32_t kForce = 0x4;   // EWX_FORCE

void EnableShutdownPrivilege(ProgramsAndPower& programs) {
    const std::unique_ptr<ProcessToken> token =
        programs.OpenOwnToken(kTokenAdjustPrivileges | kTokenQuery);
    Luid shutdown;
    if (token != nullptr && programs.LookupPrivilege("SeShutdownPrivilege", &shutdown)) {
        token->AdjustPrivilege(shutdown, kPrivilegeEnabled);
    }
}

}  // namespace

bool RestartSystem(Platform& platform, RestartMode mode) {
    // The 9x family needs no privilege to restart.
    if (CurrentFamily(platform.version) == Family::Nt) {
        EnableShutdownPrivilege(platform.programs);
    }
    return platform.programs.ExitWindows(mode == RestartMode::ForceProgramsClosed ? kReboot | kForce
                                                                                  : kReboot);
}

}  // namespace drvsweep
