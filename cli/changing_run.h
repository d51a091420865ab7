#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/command_line_platform.h"
#include "cli/run_log.h"

namespace drvsweep::cli {

// Starts a run that changes the machine (/remove, /restore; `command` names it): on the NT
// family it needs administrator rights, unless it is a preview; it takes the run lock, so that
// one DrvSweep changes the machine at a time; it opens the log (/log, else the default one) and
// writes who runs what where. Null, with *exitCode set, when the run cannot go on.
std::unique_ptr<RunLog> StartChangingRun(CommandLinePlatform& platform, const CommandLine& line,
                                         const std::vector<std::string>& arguments,
                                         const char* command, bool preview, int* exitCode);

}  // namespace drvsweep::cli
