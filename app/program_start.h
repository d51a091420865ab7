#pragma once

#include <functional>

#include "app/hand_over.h"
#include "platform/program_hand_over.h"
#include "platform/run_facts.h"
#include "platform/version_info.h"

namespace drvsweep {

// Which front end a start runs.
enum class FrontEndChoice {
    CommandLine,       // arguments were given: the command line, which never shows a window
    NoVisibleDesktop,  // none, and no one could see a window (session 0): nothing runs
    Dialog,            // none: the dialog
};

// Whether the arguments hold anything but blanks, tabs and line breaks.
bool HasArguments(const char* arguments);

// The one choice between the front ends, from the arguments (the program's name taken off)
// and, for a start without them, whether the window station is visible.
FrontEndChoice ChooseFrontEnd(const char* arguments, RunFacts& facts);

// What the start asks of the system before either front end runs.
struct StartServices {
    ProgramHandOver& handOver;
    RunFacts& facts;
    VersionInfo& version;
    StartNotice& notice;
};

// A front end run in this process; answers its exit code.
using FrontEnd = std::function<int()>;

// The program's start: chooses the front end, hands the run over to the x86-64 program on
// 64-bit Windows, and otherwise runs the chosen front end here. Answers the exit code to end
// with: the front end's, the handed-over program's, or one of start_exit_codes.h.
int StartProgram(const char* arguments, StartServices& services, const FrontEnd& commandLine,
                 const FrontEnd& dialog);

}  // namespace drvsweep
