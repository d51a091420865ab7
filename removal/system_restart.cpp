#include "removal/system_restart.h"

#include <memory>

namespace drvsweep {

namespace {

constexpr std::uint32_t kTokenAdjustPrivileges = 0x20;
constexpr std::uint32_t kTokenQuery = 0x8;
constexpr std::uint32_t kPrivilegeEnabled = 0x2;
constexpr std::uint32_t kReboot = 0x2;        // EWX_REBOOT
constexpr std::uint32_t kForceIfHung = 0x10;  // EWX_FORCEIFHUNG, Windows 2000 and later

void EnableShutdownPrivilege(ProgramsAndPower& programs) {
    const std::unique_ptr<ProcessToken> token =
        programs.OpenOwnToken(kTokenAdjustPrivileges | kTokenQuery);
    Luid shutdown;
    if (token != nullptr && programs.LookupPrivilege("SeShutdownPrivilege", &shutdown)) {
        token->AdjustPrivilege(shutdown, kPrivilegeEnabled);
    }
}

// GetVersion's low byte is the major version, the next one the minor version.
bool IsAtLeast(std::uint32_t version, std::uint32_t major, std::uint32_t minor) {
    const std::uint32_t have = ((version & 0xFFu) << 8) | ((version >> 8) & 0xFFu);
    return have >= ((major << 8) | minor);
}

}  // namespace

bool RestartSystem(Platform& platform) {
    const std::uint32_t version = platform.version.Version();
    // The 9x family needs no privilege to restart, and knows neither the flag nor the reason.
    if (FamilyOfVersion(version) != Family::Nt) {
        return platform.programs.ExitWindows(kReboot, 0);
    }
    EnableShutdownPrivilege(platform.programs);
    const std::uint32_t flags = IsAtLeast(version, 5, 0) ? kReboot | kForceIfHung : kReboot;
    const std::uint32_t reason = IsAtLeast(version, 5, 1) ? kPlannedInstallationRestart : 0;
    return platform.programs.ExitWindows(flags, reason);
}

}  // namespace drvsweep
