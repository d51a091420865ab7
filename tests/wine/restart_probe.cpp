// Asks the real Windows for a restart through RestartSystem, in the Wine prefix of a scenario.
// The restart lets programs answer (EWX_REBOOT | EWX_FORCEIFHUNG): Wine asks each top-level
// window (WM_QUERYENDSESSION, then WM_ENDSESSION) and ends the processes that agreed, as
// measured with Wine 8.0 within a few seconds, exit code 0; a process without a window is not
// ended. So the probe keeps a window of its own and pumps its messages. A probe that outlives
// the request by ten seconds reports the restart as not done and exits with 1; one whose
// request Windows refused exits with 2.
#include <chrono>
#include <cstdio>

#include "platform/win32/win32_windows.h"
#include "platform/win32/windows_api.h"
#include "removal/system_restart.h"

int main() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "restart_probe";
    RegisterClassA(&windowClass);
    CreateWindowA("restart_probe", "restart_probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100,
                  100, nullptr, nullptr, windowClass.hInstance, nullptr);

    drvsweep::win32::Win32Windows windows;
    if (!drvsweep::RestartSystem(windows.platform())) {
        std::fprintf(stderr, "restart_probe: the restart was refused\n");
        return 2;
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < end) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
        Sleep(20);
    }
    std::fprintf(stderr, "restart_probe: still running ten seconds after RestartSystem\n");
    return 1;
}
