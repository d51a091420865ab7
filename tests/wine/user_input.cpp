#include "tests/wine/user_input.h"

#include <vector>

namespace drvsweep::testing {

namespace {

void ClickAt(POINT point, int times = 1) {
    SetCursorPos(point.x, point.y);
    std::vector<INPUT> clicks;
    for (int i = 0; i < times; ++i) {
        INPUT down = {};
        down.type = INPUT_MOUSE;
        down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        INPUT up = down;
        up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
        clicks.push_back(down);
        clicks.push_back(up);
    }
    SendInput(static_cast<UINT>(clicks.size()), clicks.data(), sizeof(INPUT));
}

}  // namespace

void ClickWindow(HWND window) {
    RECT bounds = {};
    GetWindowRect(window, &bounds);
    ClickAt({(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2});
}

// The entry's place follows from the list's item height and first visible entry, which the
// list answers across processes (LB_GETITEMRECT would need a pointer into this one).
void DoubleClickListEntry(HWND list, int index) {
    const LRESULT height = SendMessageW(list, LB_GETITEMHEIGHT, 0, 0);
    const LRESULT top = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
    POINT point = {8, static_cast<LONG>((index - top) * height + height / 2)};
    ClientToScreen(list, &point);
    ClickAt(point, 2);
}

// The close box is the caption's rightmost button; the window's own hit test says where it
// begins, whatever the caption's metrics.
void ClickCloseBox(HWND window) {
    TITLEBARINFO titleBar = {};
    titleBar.cbSize = sizeof(titleBar);
    GetTitleBarInfo(window, &titleBar);
    const LONG y = (titleBar.rcTitleBar.top + titleBar.rcTitleBar.bottom) / 2;
    for (LONG x = titleBar.rcTitleBar.right - 1; x > titleBar.rcTitleBar.left; --x) {
        if (SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) {
            ClickAt({x - 4, y});
            return;
        }
    }
}

void PressKeys(HWND window, std::initializer_list<WORD> keys) {
    SetForegroundWindow(window);
    std::vector<INPUT> strokes;
    for (const WORD key : keys) {
        INPUT down = {};
        down.type = INPUT_KEYBOARD;
        down.ki.wVk = key;
        strokes.push_back(down);
    }
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) {
        INPUT up = {};
        up.type = INPUT_KEYBOARD;
        up.ki.wVk = *key;
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        strokes.push_back(up);
    }
    SendInput(static_cast<UINT>(strokes.size()), strokes.data(), sizeof(INPUT));
}

}  // namespace drvsweep::testing
