#pragma once

namespace drvsweep::cli {

// The exit codes of a command-line run, the ones fleet tools already read without a mapping.
constexpr int kExitDone = 0;                // done and nothing left; nothing found; preview; help
constexpr int kExitScannersFound = 1;       // /list only: at least one scanner is installed
constexpr int kExitNotAdministrator = 740;  // ERROR_ELEVATION_REQUIRED
constexpr int kExitFailed = 1603;           // ERROR_INSTALL_FAILURE: something is still there
constexpr int kExitAnotherRun = 1618;       // ERROR_INSTALL_ALREADY_RUNNING
constexpr int kExitBadCommandLine = 1639;   // ERROR_INVALID_COMMAND_LINE
constexpr int kExitRestartStarted = 1641;   // ERROR_SUCCESS_REBOOT_INITIATED
constexpr int kExitRestartNeeded = 3010;    // ERROR_SUCCESS_REBOOT_REQUIRED

}  // namespace drvsweep::cli
