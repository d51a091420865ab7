#pragma once

namespace drvsweep::testing {

// Asks Wine's X11 driver to draw the windows of programs started from now on itself
// (HKCU\Software\Wine\X11 Driver, Managed = "N"). A test display has no window manager, and a
// managed window makes Wine wait two seconds for one whenever it hides a window; an unmanaged one
// also gets its caption drawn, which the screenshots want. Elsewhere the value means nothing.
void UseUnmanagedWindows();

}  // namespace drvsweep::testing
