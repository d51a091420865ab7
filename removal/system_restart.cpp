#include "removal/system_restart.h"

#include <cstdint>
#include <memory>

namespace drvsweep {

namespace {

constexpr std::uint32_t kTokenAdjustPrivileges = 0x20;
constexpr std::uint32_t kTokenQuery = 0x8;
constexpr std::uint32_t kPrivilegeEnabled = 0x2;
constexpr std::uint32_t kRebootForced = 0x2 | 0x4;  // EWX_REBOOT | EWX_FORCE

void EnableShutdownPrivilege(ProgramsAndPower& programs) {
    const std::unique_ptr<ProcessToken> token =
        programs.OpenOwnToken(kTokenAdjustPrivileges | kTokenQuery);
    Luid shutdown;
    if (token != nullptr && programs.LookupPrivilege("SeShutdownPrivilege", &shutdown)) {
        token->AdjustPrivilege(shutdown, kPrivilegeEnabled);
    }
}

}  // namespace

void RestartSystem(Platform& platform) {
    // The 9x family needs no privilege to restart.
    if (CurrentFamily(platform.version) == Family::Nt) {
        EnableShutdownPrivilege(platform.programs);
    }
    platform.programs.ExitWindows(kRebootForced);
}

}  // namespace drvsweep
