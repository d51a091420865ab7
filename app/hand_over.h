#pragma once

#include <cstdint>
#include <string>

#include "platform/dialog_host.h"
#include "platform/program_hand_over.h"
#include "platform/version_info.h"

namespace drvsweep {

// The name the carried x86-64 program is written under, in a folder of its own.
constexpr const char* kCarriedProgramName = "DrvSweep64.exe";

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
// program into a new folder under the user's temporary folder that only administrators and
// SYSTEM can write, holds it open against changes, runs it with the own arguments, waits for
// it and deletes the file and the folder again, whether it succeeded or not. Nothing here
// removes anything of a scanner.
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

}  // namespace drvsweep
