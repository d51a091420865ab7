#include "ui/win32/win32_dialog_runner.h"

#include <optional>

#include "ui/win32/win32_dialog_host.h"

namespace drvsweep::win32 {

namespace {

// One modal run: the behaviour and, from WM_INITDIALOG on, the host of its window. It lives on
// the stack of RunModal and the window keeps its address in DWLP_USER.
struct ModalRun {
    HINSTANCE instance;
    DialogHandler& handler;
    std::optional<Win32DialogHost> host;
};

// Forwards one message of the message table; FALSE leaves the message to the dialog manager.
INT_PTR Forward(DialogHandler& handler, UINT message, WPARAM wParam) {
    switch (message) {
        case WM_COMMAND:
            handler.OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_TIMER:
            handler.OnTimer(wParam);
            return TRUE;
        case WM_SYSCOMMAND:
            return handler.OnSysCommand(static_cast<std::uint32_t>(wParam)) ? TRUE : FALSE;
        case WM_CLOSE:
            handler.OnClose();
            return TRUE;
        case WM_QUERYDRAGICON:
            // One of the messages whose result a dialog procedure returns directly.
            return static_cast<INT_PTR>(handler.OnQueryDragIcon());
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* run = reinterpret_cast<ModalRun*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        run->host.emplace(run->instance, window);
        return run->handler.OnInitDialog(*run->host) ? TRUE : FALSE;
    }
    // WM_SETFONT and the like come before WM_INITDIALOG, when no run is attached yet.
    auto* run = reinterpret_cast<ModalRun*>(GetWindowLongPtrW(window, DWLP_USER));
    if (run == nullptr) {
        return FALSE;
    }
    return Forward(run->handler, message, wParam);
}

}  // namespace

IconHandle Win32DialogRunner::LoadAppIcon(std::uint32_t iconId) {
    return reinterpret_cast<IconHandle>(LoadIconA(instance_, MAKEINTRESOURCEA(iconId)));
}

// With a buffer size of 0, LoadStringW hands out a pointer to the resource's own text, which is
// not NUL-terminated, and returns its length.
std::u16string Win32DialogRunner::LoadResourceString(std::uint32_t stringId) {
    const wchar_t* text = nullptr;
    const int length = LoadStringW(instance_, stringId, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) {
        return std::u16string();
    }
    return std::u16string(reinterpret_cast<const char16_t*>(text),
                          static_cast<std::size_t>(length));
}

int Win32DialogRunner::RunModal(std::uint32_t templateId, DialogHandler& handler) {
    ModalRun run{instance_, handler, std::nullopt};
    return static_cast<int>(DialogBoxParamW(instance_, MAKEINTRESOURCEW(templateId), owner_,
                                            DialogProc, reinterpret_cast<LPARAM>(&run)));
}

}  // namespace drvsweep::win32
