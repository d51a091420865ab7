// The program's entry: it hands the real Windows to the start (app/program_start.h), which
// chooses between the command line and the dialog and, on 64-bit Windows, hands the x86
// program's run over to the x86-64 program it carries.
#include "app/dll_search.h"
#include "app/program_start.h"
#include "app/win32/win32_start_notice.h"
#include "cli/command_line_platform.h"
#include "cli/command_runner.h"
#include "platform/win32/win32_console.h"
#include "platform/win32/win32_dll_search_path.h"
#include "platform/win32/win32_output_files.h"
#include "platform/win32/win32_process_jobs.h"
#include "platform/win32/win32_program_hand_over.h"
#include "platform/win32/win32_run_facts.h"
#include "platform/win32/win32_version.h"
#include "platform/win32/win32_windows.h"
#include "platform/win32/windows_api.h"
#include "res/resource.h"
#include "ui/app_state.h"
#include "ui/uninstall_app.h"
#include "ui/win32/win32_dialog_runner.h"

// commctrl.h needs the Windows types declared first.
#include <commctrl.h>

#include <memory>

namespace {

// The command line over the real Windows; it never shows a window.
int RunCommandLine(const char* arguments, drvsweep::RunFacts& facts) {
    drvsweep::win32::Win32Windows windows;
    drvsweep::win32::Win32Console console;
    drvsweep::win32::Win32OutputFiles outputFiles;
    drvsweep::win32::Win32ProcessJobs jobs;
    drvsweep::cli::CommandLinePlatform platform{windows.platform(), console, outputFiles, facts,
                                                jobs};
    return drvsweep::cli::RunCommandLine(platform, arguments);
}

// The dialog over the real Windows and the program's resources, run by the application object.
int RunDialog(HINSTANCE instance) {
    // Loads the common controls that the manifest asks for, so that the dialog's controls take
    // the system's visual style.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    // The process-wide state of the run, which outlives the main window. It is too large for
    // the stack, and as a static object its non-zero initial values (about 420 KB, mostly
    // empty text buffers) could be stored in the program file.
    const auto appState = std::make_unique<drvsweep::AppState>();

    drvsweep::win32::Win32Windows windows;
    drvsweep::win32::Win32DialogRunner dialogs(instance, nullptr, windows.platform().version);
    drvsweep::CUninstallApp app(*appState, windows.platform(), dialogs);
    app.InitInstance();
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
    // First, before any call loads a DLL: the program runs elevated, often from a download
    // folder or a folder a fleet tool copied it to.
    drvsweep::win32::Win32DllSearchPath dllSearch;
    drvsweep::LimitDllSearch(dllSearch);

    drvsweep::win32::Win32ProgramHandOver handOver(IDR_PROGRAM64);
    drvsweep::win32::Win32RunFacts facts;
    drvsweep::win32::Win32Version version;
    drvsweep::win32::Win32StartNotice notice;
    drvsweep::StartServices services{handOver, facts, version, notice};
    return drvsweep::StartProgram(
        arguments, services, [arguments, &facts] { return RunCommandLine(arguments, facts); },
        [instance] { return RunDialog(instance); });
}
