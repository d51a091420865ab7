#pragma once

#include "platform/command_line_platform.h"

namespace drvsweep::cli {

// Runs the program's command line (its arguments, the program's name taken off) without any
// window and returns the exit code. Nothing here shows a dialog or a message box: a run that
// cannot go on says why on the standard error or in the log and ends with its code.
int RunCommandLine(CommandLinePlatform& platform, const char* arguments);

// For a start without arguments: true, with *exitCode set to 1459, where the window station is
// not visible (session 0), so that no dialog waits for someone who cannot see it.
bool EndsWithoutVisibleDesktop(RunFacts& facts, int* exitCode);

}  // namespace drvsweep::cli
