#pragma once

#include <cstdint>
#include <string>

#include "platform/dialog_host.h"
#include "platform/program_hand_over.h"
#include "platform/version_info.h"

namespace drvsweep {

// The name the carried x86-64 program is written under, in a folder of its own.
constexpr const char* kCarriedProgramName = "DrvSweep64.exe";

// The exit code of a run that should have been handed over and could not be.
constexpr int kHandOverFailedExitCode = 1;

enum class StartChoice {
    RunHere,     // not WOW64: this program does the work itself
    HandedOver,  // the x86-64 program ran; exitCode is its exit code
    Refused,     // WOW64, or not known, and the x86-64 program could not be run
};

struct HandOverResult {
    StartChoice choice = StartChoice::Refused;
    std::uint32_t exitCode = 0;
};

// Decides where the run happens and, on 64-bit Windows, hands it over: writes the carried
// program into a new folder under the user's temporary folder, runs it with the own
// arguments, waits for it and deletes the file and the folder again, whether it succeeded or
// not. Nothing here removes anything of a scanner.
HandOverResult HandOverOnWow64(ProgramHandOver& os);

// The part of a command line after the program name (quoted, or up to the first blank or
// tab), without the blanks before it. Bytes 0x09, 0x20 and 0x22 never occur as the second
// byte of a double-byte character, so the scan is safe in every ANSI code page.
std::string ArgumentsOf(const char* commandLine);

// Shown when a refused run ends: a message box without owner, in the system's language.
class StartNotice {
public:
    virtual ~StartNotice() = default;
    virtual void ShowStop(const DisplayText& text, const DisplayText& caption) = 0;
};

// Tells the user that the run could not be handed over.
void ShowHandOverFailure(VersionInfo& version, StartNotice& notice);

// Runs `runHere` when this program is to do the work and returns its exit code; otherwise the
// exit code of the handed-over run, or, when the run could not be handed over, what
// `refused` returns.
template <typename RunHere, typename Refused>
int StartHere(ProgramHandOver& os, RunHere&& runHere, Refused&& refused) {
    const HandOverResult result = HandOverOnWow64(os);
    switch (result.choice) {
        case StartChoice::RunHere:
            return runHere();
        case StartChoice::HandedOver:
            // Exit codes are 32-bit words; NTSTATUS values of a crash keep their bits.
            return static_cast<int>(result.exitCode);
        case StartChoice::Refused:
            break;
    }
    return refused();
}

// The start of the dialog: a run that could not be handed over tells the user, in the window
// title's language, that nothing was removed, and ends with kHandOverFailedExitCode.
template <typename RunHere>
int StartDrvSweep(ProgramHandOver& os, VersionInfo& version, StartNotice& notice,
                  RunHere&& runHere) {
    return StartHere(os, runHere, [&version, &notice] {
        ShowHandOverFailure(version, notice);
        return kHandOverFailedExitCode;
    });
}

// The start of a command-line run: no window may open (fleet tools run the program where
// nobody would see one), so a run that could not be handed over shows nothing and ends with
// `refusedExitCode`.
template <typename RunHere>
int StartWithoutWindow(ProgramHandOver& os, int refusedExitCode, RunHere&& runHere) {
    return StartHere(os, runHere, [refusedExitCode] { return refusedExitCode; });
}

}  // namespace drvsweep
