#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/fixed_text.h"
#include "platform/platform.h"
#include "removal/uninstaller_command_line.h"

namespace drvsweep {

// Results of FindRegisteredUninstaller, FindUninstallerCommand and LaunchVendorUninstaller.
// Any other value is the registry's error code of reading the command line (2 when the key has
// no "UninstallString", 234 when it is longer than the 520 bytes read, or fills them without a
// terminator).
// The key and its command line were read (and, for FindUninstallerCommand, split).
constexpr std::int32_t kUninstallerFound = 0;
// LaunchVendorUninstaller: the shell accepted the start.
constexpr std::int32_t kUninstallerStarted = 0;
constexpr std::int32_t kNoUninstallKey = 10000;
// The key and its command line were read, but no program was started: the line names none
// (it holds no lower-case "exe", or a part of it is longer than 259 characters), or the shell
// refused the start (the program file is gone, for example).
constexpr std::int32_t kUninstallerNotStarted = 10001;

// A registered uninstaller's command line is read with 520 bytes, twice the size of the other
// values.
constexpr std::size_t kCommandLineBytes = 520;
using CommandLineText = FixedText<kCommandLineBytes>;

// Finds the Uninstall key that the maker's setup registered for the model in devicePath (the
// primary table's key, else the fallback table's; each in the program's own registry view,
// then in the 32-bit one) and reads its command line, without starting anything. Returns
// kUninstallerFound with the key's name and the command line stored, else kNoUninstallKey or
// the read's code, with the outputs untouched.
std::int32_t FindRegisteredUninstaller(Platform& platform, const char* devicePath,
                                       PathText* keyName, CommandLineText* commandLine);

// FindRegisteredUninstaller, then the command line split into its program and parameters
// (SplitUninstallerCommandLine). kUninstallerFound with both stored; kUninstallerNotStarted
// when the line names no program; else FindRegisteredUninstaller's code. Outputs are untouched
// unless the result is kUninstallerFound.
std::int32_t FindUninstallerCommand(Platform& platform, const char* devicePath,
                                    CommandLineText* commandLine, UninstallerCommand* command);

// Finds the registered uninstaller's command (FindUninstallerCommand) and starts it without
// waiting. Returns kUninstallerStarted only when the shell accepted the start: the caller then
// watches for the device to go, and takes any other result as "no registered uninstaller
// available".
std::int32_t LaunchVendorUninstaller(Platform& platform, const char* devicePath);

}  // namespace drvsweep
