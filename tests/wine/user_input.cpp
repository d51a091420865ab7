#include "tests/wine/user_input.h"

#include <vector>

namespace drvsweep::testing {

namespace {

void ClickAt(POINT point) {
    SetCursorPos(point.x, point.y);
    INPUT clicks[2] = {};
    clicks[0].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].type = INPUT_MOUSE;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, clicks, sizeof(INPUT));
}

}  // namespace

void ClickWindow(HWND window) {
    RECT bounds = {};
    GetWindowRect(window, &bounds);
    ClickAt({(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2});
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
