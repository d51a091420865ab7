#pragma once

#include "platform/fixed_text.h"

namespace drvsweep {

// A registered uninstaller's command line split into the program to start and its parameters.
struct UninstallerCommand {
    PathText program;
    PathText parameters;
};

// Splits at the first lower-case "exe": the program runs from the first character through
// "exe", and the parameters begin one character after it (that character, normally the blank
// or the closing quote after the program path, belongs to neither part). Nothing is trimmed or
// unquoted; a line that ends with "exe" has empty parameters. False, with *command unchanged,
// when the line holds no "exe" or either part does not fit 260 bytes: no program can then be
// named that the line means. A line that starts Windows Installer (RunsWindowsInstaller) is
// split after its first word instead, by the same rule for the character that follows.
bool SplitUninstallerCommandLine(const char* commandLine, UninstallerCommand* command);

// Whether the command line starts Windows Installer: its first word (the text up to the first
// blank, or inside the quotes that open it) names msiexec or msiexec.exe, with or without a
// folder, in any case.
bool RunsWindowsInstaller(const char* commandLine);

}  // namespace drvsweep
