#include <gtest/gtest.h>

#include "app/dll_search.h"
#include "tests/support/test_machine.h"

// The DLL search is limited to the system folder over the simulated kernel32 and the real one
// alike (Wine has SetDefaultDllDirectories). It changes the whole process, so it has a test
// program of its own.
namespace drvsweep {
namespace {

TEST(DllSearchContract, TheSearchIsLimitedToTheSystemFolder) {
    const auto os = testing::OpenDllSearchPath();
    EXPECT_EQ(LimitDllSearch(*os), DllSearch::SystemFolderOnly);
}

}  // namespace
}  // namespace drvsweep
