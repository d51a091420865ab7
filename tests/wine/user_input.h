#pragma once

#include <initializer_list>

#include "platform/win32/windows_api.h"

namespace drvsweep::testing {

// Input as the user gives it, through SendInput: it reaches whatever window is under the
// pointer or in the foreground, as real input would.

// Moves the pointer to the middle of the window and clicks the left button.
void ClickWindow(HWND window);

// Double-clicks entry `index` of a list box, which must be in view.
void DoubleClickListEntry(HWND list, int index);

// Clicks the close box in the window's caption.
void ClickCloseBox(HWND window);

// Brings the window to the foreground, then presses the keys in order and lets them go in
// reverse order (so {VK_MENU, VK_F4} is Alt+F4).
void PressKeys(HWND window, std::initializer_list<WORD> keys);

}  // namespace drvsweep::testing
