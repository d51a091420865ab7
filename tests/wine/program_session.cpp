#include "tests/wine/program_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/wine/wine_display.h"

// tlhelp32.h needs the Windows types declared first.
#include <tlhelp32.h>

namespace drvsweep::testing {

namespace {

constexpr DWORD kPollMilliseconds = 50;
constexpr DWORD kStartMilliseconds = 90000;

// A host path as the program sees it: Wine maps the host's root onto drive Z:.
std::wstring WindowsPathOfHostPath(const char* hostPath) {
    std::wstring path = L"Z:";
    for (const char* c = hostPath; *c != '\0'; ++c) {
        path += *c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*c));
    }
    return path;
}

struct WindowSearch {
    std::vector<DWORD> processIds;
    HWND owner;
    HWND found;
    DWORD foundProcessId;
};

// The process and the processes it started.
std::vector<DWORD> ProcessWithChildren(DWORD processId) {
    std::vector<DWORD> ids{processId};
    const win32::ScopedFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.valid()) {
        return ids;
    }
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ParentProcessID == processId && entry.th32ProcessID != processId) {
            ids.push_back(entry.th32ProcessID);
        }
    }
    return ids;
}

BOOL CALLBACK MatchWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    wchar_t windowClass[16] = {};
    GetClassNameW(window, windowClass, 16);
    const bool ours = std::find(search->processIds.begin(), search->processIds.end(), processId) !=
                      search->processIds.end();
    if (ours && IsWindowVisible(window) && GetWindow(window, GW_OWNER) == search->owner &&
        std::wstring(windowClass) == L"#32770") {
        search->found = window;
        search->foundProcessId = processId;
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

    // Measured by the clock, not by the sleeps: each look lists every process and window, which
    // takes long on a loaded machine, where the start itself (Wine's first process in a fresh
    // prefix, the hand-over's copy of the x86-64 program) can take half a minute. A program that
    // ended shows no dialog however long one waits.
    const DWORD start = GetTickCount();
    while (mainWindow_ == nullptr && GetTickCount() - start < kStartMilliseconds) {
        mainWindow_ = FindWindowOf(nullptr);
        if (mainWindow_ == nullptr) {
            if (WaitForSingleObject(process_.get(), kPollMilliseconds) == WAIT_OBJECT_0) {
                break;
            }
        }
    }
    if (mainWindow_ == nullptr) {
        ADD_FAILURE() << "DrvSweep.exe showed no dialog within " << (GetTickCount() - start)
                      << " ms";
        return;
    }
    GetWindowThreadProcessId(mainWindow_, &windowProcessId_);
    if (windowProcessId_ != processId_) {
        *windowProcess_.receive() = OpenProcess(
            SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, windowProcessId_);
        EXPECT_TRUE(windowProcess_.valid()) << "no access to the handed-over program";
    }
    EXPECT_EQ(WaitForInputIdle(windowProcess(), 10000), 0u);
}

HANDLE ProgramSession::windowProcess() const {
    return windowProcess_.valid() ? windowProcess_.get() : process_.get();
}

ProgramSession::~ProgramSession() {
    if (windowProcess_.valid() && WaitForSingleObject(windowProcess_.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(windowProcess_.get(), 1);
        WaitForSingleObject(windowProcess_.get(), 5000);
    }
    if (process_.valid() && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
    }
}

HWND ProgramSession::FindWindowOf(HWND owner) const {
    WindowSearch search{ProcessWithChildren(processId_), owner, nullptr, 0};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ProgramSession::WaitForOwnedWindow(HWND owner, DWORD milliseconds) const {
    for (DWORD waited = 0; waited <= milliseconds; waited += kPollMilliseconds) {
        if (const HWND window = FindWindowOf(owner)) {
            WaitForInputIdle(windowProcess(), 5000);
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
