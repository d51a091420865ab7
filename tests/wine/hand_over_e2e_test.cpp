#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/win32/scoped_handle.h"
#include "platform/win32/windows_api.h"
#include "tests/wine/program_session.h"

namespace drvsweep::testing {
namespace {

// The copies of DrvSweep64.exe that a hand-over writes: folders DrvSweep-* below the user's
// temporary folder, which is this driver's as well.
int HandOverFolders() {
    wchar_t temporary[MAX_PATH] = {};
    const DWORD length = GetTempPathW(MAX_PATH, temporary);
    EXPECT_GT(length, 0u);
    const std::wstring pattern = std::wstring(temporary, length) + L"DrvSweep-*";
    WIN32_FIND_DATAW found = {};
    win32::ScopedFind search(FindFirstFileW(pattern.c_str(), &found));
    int count = 0;
    for (bool more = search.valid(); more; more = FindNextFileW(search.get(), &found) != FALSE) {
        ++count;
    }
    return count;
}

// DrvSweep.exe on Wine's 64-bit prefix, which is WOW64 for it: the window comes from the
// x86-64 program it carries, and what that program ends with is what DrvSweep.exe ends with.
TEST(HandOver, TheCarriedProgramShowsTheWindowAndItsExitCodeIsPassedOn) {
    ASSERT_EQ(HandOverFolders(), 0);
    ProgramSession program;
    ASSERT_NE(program.mainWindow(), nullptr);
    ASSERT_NE(program.windowProcessId(), program.processId())
        << "DrvSweep.exe showed the window itself on 64-bit Windows";

    win32::ScopedKernelHandle child(
        OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE,
                    program.windowProcessId()));
    ASSERT_TRUE(child.valid());
    BOOL childIsWow64 = TRUE;
    ASSERT_TRUE(IsWow64Process(child.get(), &childIsWow64));
    EXPECT_FALSE(childIsWow64) << "the window's program is not the x86-64 one";
    EXPECT_EQ(HandOverFolders(), 1);

    // An exit code no run of the program gives by itself.
    ASSERT_TRUE(TerminateProcess(child.get(), 7));
    const std::optional<DWORD> exitCode = program.WaitForExit(15000);
    ASSERT_TRUE(exitCode.has_value()) << "DrvSweep.exe did not end with its child";
    EXPECT_EQ(*exitCode, 7u);
    EXPECT_EQ(HandOverFolders(), 0) << "the copy of DrvSweep64.exe was left behind";
}

}  // namespace
}  // namespace drvsweep::testing
