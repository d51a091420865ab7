#pragma once

#include <functional>

#include "platform/dialog_host.h"

namespace drvsweep::testing {

// Runs `body` while dialog 102 is open, with the host of its window, and ends the dialog when
// `body` returns: natively in a simulated window, in the Windows build in the real dialog made
// from DrvSweep's resources (under Wine, on a display).
void RunInDialog(const std::function<void(DialogHost& host)>& body);

}  // namespace drvsweep::testing
