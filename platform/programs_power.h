#pragma once

#include <cstdint>
#include <memory>

namespace drvsweep {

// A locally unique identifier, laid out like LUID.
struct Luid {
    std::uint32_t lowPart = 0;
    std::int32_t highPart = 0;
};

// The access token of the own process; destroying it closes the handle.
class ProcessToken {
public:
    virtual ~ProcessToken() = default;

    // AdjustTokenPrivileges(token, FALSE, {1 entry: privilege, attributes}, 0, NULL, NULL).
    virtual bool AdjustPrivilege(const Luid& privilege, std::uint32_t attributes) = 0;
};

// Programs and power: starting a program and restarting the machine.
class ProgramsAndPower {
public:
    virtual ~ProgramsAndPower() = default;

    // ShellExecuteA(NULL, "open", program, parameters, NULL, SW_SHOWNORMAL); returns at once
    // with the shell's result (above 32 when the start was requested).
    virtual std::intptr_t ShellOpen(const char* program, const char* parameters) = 0;

    // OpenProcessToken(GetCurrentProcess(), access): null when it cannot be opened.
    virtual std::unique_ptr<ProcessToken> OpenOwnToken(std::uint32_t access) = 0;

    // LookupPrivilegeValueA(NULL, name, luid).
    virtual bool LookupPrivilege(const char* name, Luid* privilege) = 0;

    // ExitWindowsEx(flags, reason): whether Windows accepted the request.
    virtual bool ExitWindows(std::uint32_t flags, std::uint32_t reason) = 0;
};

}  // namespace drvsweep
