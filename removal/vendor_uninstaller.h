#pragma once

#include <cstddef>

#include "platform/fixed_text.h"
#include "platform/platform.h"
#include "removal/uninstaller_command_line.h"

namespace drvsweep {

// What looking up, or starting, the maker's registered uninstaller came to.
enum class UninstallerStatus {
    Found,       // the key and its command line were read (and split, where asked)
    Started,     // the program started
    NoKey,       // no Uninstall key of the maker's is registered for the model
    Unreadable,  // the key has no "UninstallString", or one longer than the 520 bytes read
    NoProgram,   // the command line names no program (no lower-case "exe", a part too long)
    Refused,     // the program was named but did not start (its file is gone, for example)
    NoDesktop,   // only an interactive uninstaller is registered, and no one could see its window
};

// Which of the key's command lines a run asks for: "UninstallString", the one the maker's setup
// shows its window with, or "QuietUninstallString" where the key has one, for a run that no one
// watches.
enum class UninstallerValue { Interactive, QuietPreferred };

// A registered uninstaller's command line is read with 520 bytes, twice the size of the other
// values.
constexpr std::size_t kCommandLineBytes = 520;
using CommandLineText = FixedText<kCommandLineBytes>;

// Finds the Uninstall key that the maker's setup registered for the model in devicePath (the
// primary table's key, else the fallback table's; each in the program's own registry view,
// then in the 32-bit one) and reads its command line, without starting anything: with
// QuietPreferred its readable "QuietUninstallString", else "UninstallString". Found with the
// key's name and the command line stored (and *quiet, where given, telling which of the two it
// is), else NoKey or Unreadable with the outputs untouched.
UninstallerStatus FindRegisteredUninstaller(Platform& platform, const char* devicePath,
                                            PathText* keyName, CommandLineText* commandLine,
                                            UninstallerValue value = UninstallerValue::Interactive,
                                            bool* quiet = nullptr);

// FindRegisteredUninstaller, then the command line split into its program and parameters
// (SplitUninstallerCommandLine). Found with both stored; NoProgram when the line names no
// program; else FindRegisteredUninstaller's status. Outputs are untouched unless Found.
UninstallerStatus FindUninstallerCommand(Platform& platform, const char* devicePath,
                                         CommandLineText* commandLine, UninstallerCommand* command,
                                         UninstallerValue value = UninstallerValue::Interactive,
                                         bool* quiet = nullptr);

// Hands the command to the shell (ShellExecute "open") and returns without waiting: Started
// when the shell accepted the start, else Refused.
UninstallerStatus StartThroughShell(Platform& platform, const UninstallerCommand& command);

}  // namespace drvsweep
