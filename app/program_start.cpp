#include "app/program_start.h"

#include "app/start_exit_codes.h"

namespace drvsweep {

namespace {

// Runs the front end when this program is to do the work; otherwise answers the handed-over
// run's exit code, or, when the run could not be handed over, what `refused` answers.
int RunHereOrHandOver(ProgramHandOver& os, const FrontEnd& frontEnd,
                      const std::function<int()>& refused) {
    const HandOverResult result = HandOverOnWow64(os);
    switch (result.choice) {
        case StartChoice::RunHere:
            return frontEnd();
        case StartChoice::HandedOver:
            // Exit codes are 32-bit words; NTSTATUS values of a crash keep their bits.
            return static_cast<int>(result.exitCode);
        case StartChoice::Refused:
            break;
    }
    return refused();
}

}  // namespace

bool HasArguments(const char* arguments) {
    for (const char* p = arguments; *p != '\0'; ++p) {
        if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n') {
            return true;
        }
    }
    return false;
}

FrontEndChoice ChooseFrontEnd(const char* arguments, RunFacts& facts) {
    if (HasArguments(arguments)) {
        return FrontEndChoice::CommandLine;
    }
    return facts.HasVisibleWindowStation() ? FrontEndChoice::Dialog
                                           : FrontEndChoice::NoVisibleDesktop;
}

int StartProgram(const char* arguments, StartServices& services, const FrontEnd& commandLine,
                 const FrontEnd& dialog) {
    switch (ChooseFrontEnd(arguments, services.facts)) {
        case FrontEndChoice::NoVisibleDesktop:
            // Decided before any hand-over: the x86-64 program would end the same way, and a
            // refused hand-over's message box would wait for someone who cannot see it.
            return kExitNoVisibleDesktop;
        case FrontEndChoice::CommandLine:
            // Fleet tools run the command line where nobody would see a window: a refused
            // hand-over shows nothing.
            return RunHereOrHandOver(services.handOver, commandLine,
                                     [] { return kExitCommandLineNotHandedOver; });
        case FrontEndChoice::Dialog:
            break;
    }
    return RunHereOrHandOver(services.handOver, dialog, [&services] {
        ShowHandOverFailure(services.version, services.notice);
        return kExitDialogNotHandedOver;
    });
}

}  // namespace drvsweep
