#pragma once

#include <string>

#include "platform/win32/windows_api.h"

namespace drvsweep::testing {

// Brings the window to the foreground and asks the session script (ui_session.sh, which watches
// the folder DRVSWEEP_HANDSHAKE) for a screenshot of it, saved as <name>.png in its screenshot
// folder, and waits until it has been taken. The script shoots Wine's X window of the window when
// Wine names it, otherwise the whole screen. False when no script answers within 20 seconds;
// without DRVSWEEP_HANDSHAKE there is none to ask, and nothing is done.
bool TakeScreenshot(HWND window, const std::string& name);

}  // namespace drvsweep::testing
