// Asks the real Windows for a restart through RestartSystem, in the Wine prefix of a scenario.
// Wine's ExitWindowsEx ends every process of the prefix, this one among them, which then exits
// with 0 (as measured with Wine 8.0, within a second). A probe that outlives the request by ten
// seconds reports the restart as not done and exits with 1.
#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/win32/win32_windows.h"
#include "removal/system_restart.h"

int main() {
    drvsweep::win32::Win32Windows windows;
    drvsweep::RestartSystem(windows.platform());
    std::this_thread::sleep_for(std::chrono::seconds(10));
    std::fprintf(stderr, "restart_probe: still running ten seconds after RestartSystem\n");
    return 1;
}
