#include "tests/wine/program_session.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/wine/wine_display.h"

namespace drvsweep::testing {

namespace {

constexpr DWORD kPollMilliseconds = 50;

// A host path as the program sees it: Wine maps the host's root onto drive Z:.
std::wstring WindowsPathOfHostPath(const char* hostPath) {
    std::wstring path = L"Z:";
    for (const char* c = hostPath; *c != '\0'; ++c) {
        path += *c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*c));
    }
    return path;
}

struct WindowSearch {
    DWORD processId;
    HWND owner;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    wchar_t windowClass[16] = {};
    GetClassNameW(window, windowClass, 16);
    if (processId == search->processId && IsWindowVisible(window) &&
        GetWindow(window, GW_OWNER) == search->owner && std::wstring(windowClass) == L"#32770") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

ProgramSession::ProgramSession() {
    const char* program = std::getenv("DRVSWEEP_PROGRAM");
    if (program == nullptr) {
        ADD_FAILURE() << "DRVSWEEP_PROGRAM must name DrvSweep.exe";
        return;
    }
    UseUnmanagedWindows();
    std::wstring commandLine = L"\"" + WindowsPathOfHostPath(program) + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started)) {
        ADD_FAILURE() << "DrvSweep.exe did not start: error " << GetLastError();
        return;
    }
    CloseHandle(started.hThread);
    *process_.receive() = started.hProcess;
    processId_ = started.dwProcessId;

    for (DWORD waited = 0; mainWindow_ == nullptr && waited < 30000; waited += kPollMilliseconds) {
        mainWindow_ = FindWindowOf(nullptr);
        if (mainWindow_ == nullptr) {
            Sleep(kPollMilliseconds);
        }
    }
    if (mainWindow_ == nullptr) {
        ADD_FAILURE() << "DrvSweep.exe showed no dialog";
        return;
    }
    EXPECT_EQ(WaitForInputIdle(process_.get(), 10000), 0u);
}

ProgramSession::~ProgramSession() {
    if (process_.valid() && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
    }
}

HWND ProgramSession::FindWindowOf(HWND owner) const {
    WindowSearch search{processId_, owner, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ProgramSession::WaitForOwnedWindow(HWND owner, DWORD milliseconds) const {
    for (DWORD waited = 0; waited <= milliseconds; waited += kPollMilliseconds) {
        if (const HWND window = FindWindowOf(owner)) {
            WaitForInputIdle(process_.get(), 5000);
            return window;
        }
        Sleep(kPollMilliseconds);
    }
    return nullptr;
}

bool ProgramSession::WaitForWindowGone(HWND window, DWORD milliseconds) const {
    for (DWORD waited = 0; waited <= milliseconds; waited += kPollMilliseconds) {
        if (!IsWindow(window)) {
            return true;
        }
        Sleep(kPollMilliseconds);
    }
    return false;
}

std::optional<DWORD> ProgramSession::WaitForExit(DWORD milliseconds) {
    if (!process_.valid() || WaitForSingleObject(process_.get(), milliseconds) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process_.get(), &exitCode);
    return exitCode;
}

void ProgramSession::ExpectEndsCleanly() {
    const std::optional<DWORD> exitCode = WaitForExit(15000);
    ASSERT_TRUE(exitCode.has_value()) << "DrvSweep.exe did not end";
    EXPECT_EQ(*exitCode, 0u);
}

std::string CurrentTestName() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

}  // namespace drvsweep::testing
