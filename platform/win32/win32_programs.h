#pragma once

#include "platform/programs_power.h"

namespace drvsweep::win32 {

// Programs and power: ShellExecuteA, OpenProcessToken, LookupPrivilegeValueA,
// AdjustTokenPrivileges and ExitWindowsEx.
class Win32Programs : public ProgramsAndPower {
public:
    std::intptr_t ShellOpen(const char* program, const char* parameters) override;
    std::unique_ptr<ProcessToken> OpenOwnToken(std::uint32_t access) override;
    bool LookupPrivilege(const char* name, Luid* privilege) override;
    bool ExitWindows(std::uint32_t flags, std::uint32_t reason) override;
};

}  // namespace drvsweep::win32
