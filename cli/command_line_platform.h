#pragma once

#include "platform/console_output.h"
#include "platform/output_files.h"
#include "platform/platform.h"
#include "platform/process_jobs.h"
#include "platform/run_facts.h"

namespace drvsweep::cli {

// The operating system as a command-line run sees it: the services the dialog uses, and those
// a run without a window needs as well.
struct CommandLinePlatform {
    Platform& system;
    ConsoleOutput& console;
    OutputFiles& outputFiles;
    RunFacts& facts;
    ProcessJobs& jobs;
};

}  // namespace drvsweep::cli
