#include "cli/win32/command_line_main.h"

#include "cli/command_line.h"
#include "cli/command_runner.h"
#include "platform/win32/win32_console.h"
#include "platform/win32/win32_output_files.h"
#include "platform/win32/win32_process_jobs.h"
#include "platform/win32/win32_run_facts.h"
#include "platform/win32/win32_windows.h"

namespace drvsweep::win32 {

bool RunWithoutWindow(const char* arguments, int* exitCode) {
    Win32RunFacts facts;
    if (!cli::HasArguments(arguments)) {
        return cli::EndsWithoutVisibleDesktop(facts, exitCode);
    }
    Win32Windows windows;
    Win32Console console;
    Win32OutputFiles outputFiles;
    Win32ProcessJobs jobs;
    CommandLinePlatform platform{windows.platform(), console, outputFiles, facts, jobs};
    *exitCode = cli::RunCommandLine(platform, arguments);
    return true;
}

}  // namespace drvsweep::win32
