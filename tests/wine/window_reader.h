#pragma once

#include <string>
#include <vector>

#include "platform/win32/windows_api.h"

namespace drvsweep::testing {

// What another process's dialog shows, read through the wide functions.

// GetWindowTextW: a window's caption or a control's text.
std::wstring WindowText(HWND window);
std::wstring ItemText(HWND dialog, int itemId);

// The list box's entries in order (LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT).
std::vector<std::wstring> ListEntries(HWND dialog, int listId);

// LB_GETCURSEL: -1 when nothing is selected.
int ListSelection(HWND dialog, int listId);

bool ItemEnabled(HWND dialog, int itemId);

}  // namespace drvsweep::testing
