#pragma once

#include "cli/command_line_platform.h"

namespace drvsweep::cli {

// Runs the program's command line (its arguments, the program's name taken off) without any
// window and returns the exit code. Nothing here shows a dialog or a message box: a run that
// cannot go on says why on the standard error or in the log and ends with its code.
int RunCommandLine(CommandLinePlatform& platform, const char* arguments);

}  // namespace drvsweep::cli
