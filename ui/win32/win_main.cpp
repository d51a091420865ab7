// The program's entry: it hands the real Windows and the program's resources to the
// application object, which runs the main window.
#include "platform/win32/win32_windows.h"
#include "platform/win32/windows_api.h"
#include "ui/app_state.h"
#include "ui/uninstall_app.h"
#include "ui/win32/win32_dialog_runner.h"

// commctrl.h needs the Windows types declared first.
#include <commctrl.h>

namespace {

// The process-wide state of the run; static, as it outlives the main window and is too large
// for the stack.
drvsweep::AppState appState;

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Loads the common controls that the manifest asks for, so that the dialog's controls take
    // the system's visual style.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    drvsweep::win32::Win32Windows windows;
    drvsweep::win32::Win32DialogRunner dialogs(instance, nullptr, windows.platform().version);
    drvsweep::CUninstallApp app(appState, windows.platform(), dialogs);
    app.InitInstance();
    return 0;
}
