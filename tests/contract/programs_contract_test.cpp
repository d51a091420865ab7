#include <gtest/gtest.h>

#include <memory>

#include "tests/support/test_machine.h"

// Programs and power as Wine answers them, over the simulated Windows and over the real one
// alike. Nothing here starts a program or restarts the machine.
namespace drvsweep {
namespace {

constexpr std::uint32_t kTokenAdjustPrivileges = 0x20;
constexpr std::uint32_t kTokenQuery = 0x8;
constexpr std::uint32_t kPrivilegeEnabled = 0x2;
constexpr std::intptr_t kShellFileNotFound = 2;  // SE_ERR_FNF

TEST(ProgramsContract, EnablesTheShutdownPrivilege) {
    std::unique_ptr<testing::TestMachine> machine = testing::OpenScenarioMachine();
    ProgramsAndPower& programs = machine->platform().programs;

    Luid shutdown;
    ASSERT_TRUE(programs.LookupPrivilege("SeShutdownPrivilege", &shutdown));
    EXPECT_EQ(shutdown.lowPart, 19u);
    EXPECT_EQ(shutdown.highPart, 0);
    Luid unknown;
    EXPECT_FALSE(programs.LookupPrivilege("SeNoSuchPrivilege", &unknown));

    std::unique_ptr<ProcessToken> token =
        programs.OpenOwnToken(kTokenAdjustPrivileges | kTokenQuery);
    ASSERT_TRUE(token);
    EXPECT_TRUE(token->AdjustPrivilege(shutdown, kPrivilegeEnabled));
}

// ShellExecuteA answers a program file that does not exist, or lies in a folder that does not,
// with SE_ERR_FNF.
TEST(ProgramsContract, ReportsAMissingProgram) {
    std::unique_ptr<testing::TestMachine> machine = testing::OpenScenarioMachine();
    ProgramsAndPower& programs = machine->platform().programs;
    EXPECT_EQ(programs.ShellOpen("C:\\windows\\contract\\missing.exe", ""), kShellFileNotFound);
    EXPECT_EQ(programs.ShellOpen("C:\\NoSuchFolder\\Setup.exe", "-uninstall"), kShellFileNotFound);
}

}  // namespace
}  // namespace drvsweep
