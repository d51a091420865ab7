#pragma once

#include <optional>
#include <string>

#include "platform/win32/scoped_handle.h"
#include "platform/win32/windows_api.h"

namespace drvsweep::testing {

// DrvSweep.exe started in the test's Wine prefix: the program DRVSWEEP_PROGRAM names (a host
// path), with its main window found. The program is ended by force if it still runs when the
// session goes. On a 64-bit prefix the x86 program hands its run over to the x86-64 one it
// starts: the windows are then that child's, while the exit code is the started program's.
class ProgramSession {
public:
    // Starts the program and waits until its main dialog is shown and the program waits for
    // input; the test fails when that does not happen within 30 seconds.
    ProgramSession();
    ~ProgramSession();
    ProgramSession(const ProgramSession&) = delete;
    ProgramSession& operator=(const ProgramSession&) = delete;

    HWND mainWindow() const { return mainWindow_; }

    // The started program's process id, and that of the process whose windows the session
    // found: the same, unless the run was handed over.
    DWORD processId() const { return processId_; }
    DWORD windowProcessId() const { return windowProcessId_; }

    // A visible window of the program owned by `owner`, waited for up to `milliseconds`.
    HWND WaitForOwnedWindow(HWND owner, DWORD milliseconds) const;

    // Waits until the window is gone.
    bool WaitForWindowGone(HWND window, DWORD milliseconds) const;

    // The program's exit code once it has ended, or nothing when it still runs after
    // `milliseconds`.
    std::optional<DWORD> WaitForExit(DWORD milliseconds);

    // Fails the test unless the program ends with exit code 0 within 15 seconds.
    void ExpectEndsCleanly();

private:
    HWND FindWindowOf(HWND owner) const;
    HANDLE windowProcess() const;

    win32::ScopedKernelHandle process_;
    DWORD processId_ = 0;
    // The process that owns the windows, when it is not the started one.
    win32::ScopedKernelHandle windowProcess_;
    DWORD windowProcessId_ = 0;
    HWND mainWindow_ = nullptr;
};

// The name of the running test, which names its screenshots.
std::string CurrentTestName();

}  // namespace drvsweep::testing
