#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/sim_windows.h"
#include "removal/system_restart.h"

namespace drvsweep {
namespace {

// The calls of RestartSystem as the simulated machine logs them, GetVersion left out.
std::vector<std::string> RestartCalls(sim::SimWindows& machine) {
    std::vector<std::string> calls;
    for (const std::string& call : machine.faults().calls()) {
        if (call.rfind("GetVersion", 0) != 0) {
            calls.push_back(call);
        }
    }
    return calls;
}

TEST(RestartSystemTest, TheNtFamilyEnablesTheShutdownPrivilegeFirst) {
    sim::SimWindows machine;
    RestartSystem(machine.platform());
    // The token is closed before the restart is asked for.
    EXPECT_EQ(RestartCalls(machine),
              (std::vector<std::string>{
                  "OpenProcessToken 0x28", "LookupPrivilegeValueA SeShutdownPrivilege",
                  "AdjustTokenPrivileges 19", "CloseHandle token", "ExitWindowsEx 0x6"}));
    const std::vector<sim::PrivilegeAdjustment>& adjusted =
        machine.programs().privilegeAdjustments();
    ASSERT_EQ(adjusted.size(), 1u);
    EXPECT_EQ(adjusted[0].privilege.lowPart, sim::SimPrograms::kShutdownPrivilege.lowPart);
    EXPECT_EQ(adjusted[0].attributes, 2u);
    EXPECT_EQ(machine.programs().exitRequests(), std::vector<std::uint32_t>{6});
}

TEST(RestartSystemTest, The9xFamilyRestartsWithoutAToken) {
    sim::SimWindows machine;
    machine.SetFamily(Family::Win9x);
    RestartSystem(machine.platform());
    EXPECT_EQ(RestartCalls(machine), std::vector<std::string>{"ExitWindowsEx 0x6"});
}

// A token step that fails leaves out what depends on it; the restart is asked for all the
// same, and a refused restart is not reported.
TEST(RestartSystemTest, FailedTokenStepsStillEndInTheRestart) {
    const struct {
        sim::FaultRule fault;
        std::vector<std::string> calls;
    } kCases[] = {
        {{"OpenProcessToken", "", 5}, {"OpenProcessToken 0x28", "ExitWindowsEx 0x6"}},
        {{"LookupPrivilegeValueA", "", 5},
         {"OpenProcessToken 0x28", "LookupPrivilegeValueA SeShutdownPrivilege", "CloseHandle token",
          "ExitWindowsEx 0x6"}},
        {{"AdjustTokenPrivileges", "", 5},
         {"OpenProcessToken 0x28", "LookupPrivilegeValueA SeShutdownPrivilege",
          "AdjustTokenPrivileges 19", "CloseHandle token", "ExitWindowsEx 0x6"}},
        {{"ExitWindowsEx", "", 5},
         {"OpenProcessToken 0x28", "LookupPrivilegeValueA SeShutdownPrivilege",
          "AdjustTokenPrivileges 19", "CloseHandle token", "ExitWindowsEx 0x6"}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.fault.call);
        sim::SimWindows machine;
        machine.faults().Add(c.fault);
        RestartSystem(machine.platform());
        EXPECT_EQ(RestartCalls(machine), c.calls);
        EXPECT_EQ(machine.openHandles(), 0);
    }
}

}  // namespace
}  // namespace drvsweep
