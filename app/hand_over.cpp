#include "app/hand_over.h"

#include "app/hand_over_text.h"
#include "app/start_exit_codes.h"
#include "ui/interface_strings.h"

namespace drvsweep {

namespace {

// Folder names tried below the temporary folder before the run is refused. A folder that
// exists already, whoever made it, is passed over: the carried program only ever goes into a
// folder this run created.
constexpr int kFolderAttempts = 16;

// The program's image can stay mapped for a moment after its process has ended, and a virus
// scanner may hold the new file open: deleting is tried for up to two seconds.
constexpr int kDeleteAttempts = 20;
constexpr std::uint32_t kDeletePauseMs = 100;

const char kHexDigits[] = "0123456789abcdef";

void AppendHex(std::string& text, std::uint32_t value) {
    for (int shift = 28; shift >= 0; shift -= 4) {
        text += kHexDigits[(value >> shift) & 0xF];
    }
}

// A new folder "DrvSweep-<process number>-<attempt>" in the temporary folder.
bool MakePrivateFolder(ProgramHandOver& os, PathText* folder) {
    PathText temporary;
    if (!os.TemporaryFolder(&temporary)) {
        return false;
    }
    // GetTempPathA ends its answer in a backslash; one without would put the folder beside it.
    if (!temporary.endsWith('\\') && !temporary.append("\\")) {
        return false;
    }
    for (int attempt = 0; attempt < kFolderAttempts; ++attempt) {
        std::string name = "DrvSweep-";
        AppendHex(name, os.ProcessNumber());
        name += '-';
        name += kHexDigits[attempt];
        if (!folder->assign(temporary.c_str()) || !folder->append(name.c_str())) {
            return false;
        }
        switch (os.CreateNewFolder(folder->c_str())) {
            case FolderCreation::Created:
                return true;
            case FolderCreation::AlreadyExists:
                continue;
            case FolderCreation::Failed:
                return false;
        }
    }
    return false;
}

void DeleteWithRetries(ProgramHandOver& os, const char* program) {
    for (int attempt = 0; attempt < kDeleteAttempts; ++attempt) {
        if (os.DeleteOneFile(program)) {
            return;
        }
        os.Pause(kDeletePauseMs);
    }
}

}  // namespace

std::string ArgumentsOf(const char* commandLine) {
    const char* rest = commandLine;
    if (*rest == '"') {
        ++rest;
        while (*rest != '\0' && *rest != '"') {
            ++rest;
        }
        if (*rest == '"') {
            ++rest;
        }
    } else {
        while (*rest != '\0' && *rest != ' ' && *rest != '\t') {
            ++rest;
        }
    }
    while (*rest == ' ' || *rest == '\t') {
        ++rest;
    }
    return rest;
}

HandOverResult HandOverOnWow64(ProgramHandOver& os) {
    switch (os.ProcessWow64State()) {
        case Wow64Answer::FunctionMissing:
            // Every Windows with WOW64 for x86-64 has the function: this is 98, ME, 2000 or
            // an XP before SP2, all of them 32-bit.
        case Wow64Answer::NotWow64:
            return {StartChoice::RunHere, 0};
        case Wow64Answer::CallFailed:
            // Not knowing the machine, the x86 program must not risk removing on 64-bit
            // Windows; and a hand-over on 32-bit Windows could not start either.
            return {StartChoice::Refused, 0};
        case Wow64Answer::Wow64:
            break;
    }

    // Without the x86-64 program the x86 one refuses rather than remove half a scanner from
    // a 64-bit Windows.
    ProgramImage image;
    if (!os.CarriedProgram(&image) || image.bytes == nullptr || image.size == 0) {
        return {StartChoice::Refused, 0};
    }

    PathText folder;
    if (!MakePrivateFolder(os, &folder)) {
        return {StartChoice::Refused, 0};
    }
    PathText program;
    if (!program.assign(folder.c_str()) || !program.appendAll("\\", kCarriedProgramName)) {
        os.RemoveFolder(folder.c_str());
        return {StartChoice::Refused, 0};
    }

    // Once held, nobody can change the program until it has run: the folder takes writes from
    // administrators and SYSTEM only, and the held file shares reading alone.
    if (!os.WriteNewFile(program.c_str(), image) || !os.HoldFile(program.c_str())) {
        // A part written before the failure goes with the folder.
        os.DeleteOneFile(program.c_str());
        os.RemoveFolder(folder.c_str());
        return {StartChoice::Refused, 0};
    }

    std::string commandLine = std::string("\"") + program.c_str() + "\"";
    const std::string arguments = ArgumentsOf(os.OwnCommandLine());
    if (!arguments.empty()) {
        commandLine += ' ';
        commandLine += arguments;
    }
    const ChildRun run = os.RunAndWait(program.c_str(), commandLine.c_str());
    os.ReleaseHeldFile();
    DeleteWithRetries(os, program.c_str());
    os.RemoveFolder(folder.c_str());
    if (!run.started) {
        return {StartChoice::Refused, 0};
    }
    // A program that ran has shown its own window and may have removed a scanner: that is
    // no refusal, even when its exit code is lost.
    return {StartChoice::HandedOver,
            run.exitCodeRead ? run.exitCode : static_cast<std::uint32_t>(kExitChildCodeLost)};
}

void ShowHandOverFailure(VersionInfo& version, StartNotice& notice) {
    InterfaceStrings strings;
    LoadInterfaceStrings(version, strings);
    notice.ShowStop(HandOverFailureText(strings.languageSlot),
                    InterfaceText(strings, StringRole::WindowTitle));
}

}  // namespace drvsweep
