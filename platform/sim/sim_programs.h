#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/programs_power.h"
#include "platform/sim/sim_faults.h"

namespace drvsweep::sim {

constexpr long kErrorNoSuchPrivilege = 1313;

struct ShellLaunch {
    std::string program;
    std::string parameters;
};

struct PrivilegeAdjustment {
    Luid privilege;
    std::uint32_t attributes = 0;
};

// Programs and power of the simulated machine: nothing is started and nothing restarts; every
// request is recorded for the test to read.
//
// Faults: "ShellExecuteA" with the program (ShellOpen then answers the rule's code, which
// should be 32 or below, as the shell's errors are), "OpenProcessToken" with the access mask
// in hex ("0x28"), "LookupPrivilegeValueA" with the name, "AdjustTokenPrivileges" with the
// LUID's low part in decimal and "ExitWindowsEx" with the flags in hex. Closing a token logs
// "CloseHandle" and cannot fail.
class SimPrograms : public ProgramsAndPower {
public:
    // The LUID the simulation gives SeShutdownPrivilege, the one Wine gives it.
    static constexpr Luid kShutdownPrivilege{19, 0};

    // Whether a program file exists on the simulated machine.
    using FileProbe = std::function<bool(const std::string& path)>;

    SimPrograms(SimFaults& faults, FileProbe programExists);
    ~SimPrograms() override;
    SimPrograms(const SimPrograms&) = delete;
    SimPrograms& operator=(const SimPrograms&) = delete;

    // Records the launch and answers 42, a success as ShellExecuteA reports it, or 2
    // (SE_ERR_FNF) when the program file does not exist, as Wine answers then.
    std::intptr_t ShellOpen(const char* program, const char* parameters) override;
    std::unique_ptr<ProcessToken> OpenOwnToken(std::uint32_t access) override;
    // Knows SeShutdownPrivilege alone, its name compared without case; other names fail
    // with ERROR_NO_SUCH_PRIVILEGE.
    bool LookupPrivilege(const char* name, Luid* privilege) override;
    bool ExitWindows(std::uint32_t flags, std::uint32_t reason) override;

    const std::vector<ShellLaunch>& launches() const;
    // The access mask of every token opened.
    const std::vector<std::uint32_t>& tokenAccesses() const;
    const std::vector<PrivilegeAdjustment>& privilegeAdjustments() const;
    // The flags, and apart the reasons, of every restart accepted.
    const std::vector<std::uint32_t>& exitRequests() const;
    const std::vector<std::uint32_t>& exitReasons() const;
    // The error of the last call that failed, as GetLastError would give it.
    long lastError() const;
    // Tokens opened and not yet closed.
    int openTokenCount() const;

    // What the programs share with the open tokens.
    struct State;

private:
    std::shared_ptr<State> state_;
    FileProbe programExists_;
};

}  // namespace drvsweep::sim
