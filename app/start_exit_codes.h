#pragma once

#include "cli/exit_codes.h"

namespace drvsweep {

// The exit codes of a start that runs neither front end here. Every other code is the front
// end's own, or the handed-over program's, passed on unchanged.

// No arguments, and no one could see a window (session 0): no dialog waits for nobody.
constexpr int kExitNoVisibleDesktop = 1459;  // ERROR_REQUIRES_INTERACTIVE_WINDOWSTATION

// The dialog's run that 64-bit Windows needed handed over and that could not be, after the
// message that nothing was removed.
constexpr int kExitDialogNotHandedOver = 1;

// A command-line run that could not be handed over ends without a message, and not with 1,
// which means "a scanner was found" to /list.
constexpr int kExitCommandLineNotHandedOver = cli::kExitFailed;

// The handed-over program ran (it showed its window or wrote its report, and may have removed
// a scanner) but its exit code could not be read.
constexpr int kExitChildCodeLost = 1;

}  // namespace drvsweep
