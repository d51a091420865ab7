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
    EXPECT_TRUE(RestartSystem(machine.platform()));
    // The token is closed before the restart is asked for.
    EXPECT_EQ(RestartCalls(machine),
              (std::vector<std::string>{
                  "OpenProcessToken 0x28", "LookupPrivilegeValueA SeShutdownPrivilege",
                  "AdjustTokenPrivileges 19", "CloseHandle token", "ExitWindowsEx 0x12"}));
    const std::vector<sim::PrivilegeAdjustment>& adjusted =
        machine.programs().privilegeAdjustments();
    ASSERT_EQ(adjusted.size(), 1u);
    EXPECT_EQ(adjusted[0].privilege.lowPart, sim::SimPrograms::kShutdownPrivilege.lowPart);
    EXPECT_EQ(adjusted[0].attributes, 2u);
}

// Never EWX_FORCE: programs may save. The flag that closes hung programs and the planned reason
// go only to the systems that take them.
TEST(RestartSystemTest, EachSystemGetsTheGentlestRestartItKnows) {
    const struct {
        const char* name;
        std::uint32_t version;
        std::uint32_t flags;
        std::uint32_t reason;
    } kCases[] = {
        {"98 SE", 0xC0000A04, 0x2, 0},        {"NT 4", 0x05650004, 0x2, 0},
        {"2000", 0x08930005, 0x12, 0},        {"XP", 0x0A280105, 0x12, 0x80040002},
        {"10", 0x4A61000A, 0x12, 0x80040002},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        sim::SimWindows machine;
        machine.SetVersion(c.version);
        EXPECT_TRUE(RestartSystem(machine.platform()));
        EXPECT_EQ(machine.programs().exitRequests(), std::vector<std::uint32_t>{c.flags});
        EXPECT_EQ(machine.programs().exitReasons(), std::vector<std::uint32_t>{c.reason});
        EXPECT_EQ(machine.programs().tokenAccesses().size(),
                  FamilyOfVersion(c.version) == Family::Nt ? 1u : 0u);
    }
}

// A token step that fails leaves out what depends on it; the restart is asked for all the
// same. Only a refused restart makes the answer false.
TEST(RestartSystemTest, FailedTokenStepsStillEndInTheRestart) {
    const struct {
        sim::FaultRule fault;
        std::vector<std::string> calls;
        bool accepted;
    } kCases[] = {
        {{"OpenProcessToken", "", 5}, {"OpenProcessToken 0x28", "ExitWindowsEx 0x12"}, true},
        {{"LookupPrivilegeValueA", "", 5},
         {"OpenProcessToken 0x28", "LookupPrivilegeValueA SeShutdownPrivilege", "CloseHandle token",
          "ExitWindowsEx 0x12"},
         true},
        {{"AdjustTokenPrivileges", "", 5},
         {"OpenProcessToken 0x28", "LookupPrivilegeValueA SeShutdownPrivilege",
          "AdjustTokenPrivileges 19", "CloseHandle token", "ExitWindowsEx 0x12"},
         true},
        {{"ExitWindowsEx", "", 5},
         {"OpenProcessToken 0x28", "LookupPrivilegeValueA SeShutdownPrivilege",
          "AdjustTokenPrivileges 19", "CloseHandle token", "ExitWindowsEx 0x12"},
         false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.fault.call);
        sim::SimWindows machine;
        machine.faults().Add(c.fault);
        EXPECT_EQ(RestartSystem(machine.platform()), c.accepted);
        EXPECT_EQ(RestartCalls(machine), c.calls);
        EXPECT_EQ(machine.openHandles(), 0);
    }
}

}  // namespace
}  // namespace drvsweep
