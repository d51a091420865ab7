// The program's entry: on 64-bit Windows the x86 program hands the run over to the x86-64
// program it carries. Otherwise, started with arguments, it runs its command line and never
// shows a window; with none it hands the real Windows and the program's resources to the
// application object, which runs the main window.
#include "cli/command_line.h"
#include "cli/exit_codes.h"
#include "cli/win32/command_line_main.h"
#include "platform/win32/win32_program_hand_over.h"
#include "platform/win32/win32_version.h"
#include "platform/win32/win32_windows.h"
#include "platform/win32/windows_api.h"
#include "res/resource.h"
#include "ui/app_state.h"
#include "ui/hand_over.h"
#include "ui/uninstall_app.h"
#include "ui/win32/win32_dialog_runner.h"
#include "ui/win32/win32_start_notice.h"

// commctrl.h needs the Windows types declared first.
#include <commctrl.h>

#include <memory>

namespace {

int RunHere(HINSTANCE instance, const char* arguments) {
    int exitCode = 0;
    if (drvsweep::win32::RunWithoutWindow(arguments, &exitCode)) {
        return exitCode;
    }

    // Loads the common controls that the manifest asks for, so that the dialog's controls take
    // the system's visual style.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    // The process-wide state of the run, which outlives the main window. It is too large for
    // the stack, and as a static object its non-zero initial values (about 420 KB, mostly
    // empty text buffers) would be stored in the program file.
    const auto appState = std::make_unique<drvsweep::AppState>();

    drvsweep::win32::Win32Windows windows;
    drvsweep::win32::Win32DialogRunner dialogs(instance, nullptr, windows.platform().version);
    drvsweep::CUninstallApp app(*appState, windows.platform(), dialogs);
    app.InitInstance();
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
    drvsweep::win32::Win32ProgramHandOver handOver(IDR_PROGRAM64);
    const auto runHere = [instance, arguments] { return RunHere(instance, arguments); };
    if (drvsweep::cli::HasArguments(arguments)) {
        return drvsweep::StartWithoutWindow(handOver, drvsweep::cli::kExitFailed, runHere);
    }
    drvsweep::win32::Win32Version version;
    drvsweep::win32::Win32StartNotice notice;
    return drvsweep::StartDrvSweep(handOver, version, notice, runHere);
}
