#include "ui/win32/win32_dialog_runner.h"

#include <optional>

#include "ui/win32/win32_dialog_host.h"
#include "ui/window_functions.h"

namespace drvsweep::win32 {

namespace {

// One modal run: the behaviour and, from WM_INITDIALOG on, the host of its window. It lives on
// the stack of RunModal and the window keeps its address in DWLP_USER.
struct ModalRun {
    HINSTANCE instance;
    VersionInfo& version;
    WindowFunctions functions;
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
        case WM_QUERYENDSESSION:
            handler.OnQueryEndSession();
            return FALSE;
        case WM_ENDSESSION:
            handler.OnEndSession(wParam != FALSE);
            return FALSE;
        case WM_QUERYDRAGICON:
            // One of the messages whose result a dialog procedure returns directly.
            return static_cast<INT_PTR>(handler.OnQueryDragIcon());
        default:
            return FALSE;
    }
}

// DWLP_USER holds a number, which the ANSI and the wide forms of Get/SetWindowLongPtr store
// alike, so the ANSI ones serve both families.
INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* run = reinterpret_cast<ModalRun*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        run->host.emplace(run->instance, window, run->version, run->functions);
        return run->handler.OnInitDialog(*run->host) ? TRUE : FALSE;
    }
    // WM_SETFONT and the like come before WM_INITDIALOG, when no run is attached yet.
    auto* run = reinterpret_cast<ModalRun*>(GetWindowLongPtrA(window, DWLP_USER));
    if (run == nullptr) {
        return FALSE;
    }
    return Forward(run->handler, message, wParam);
}

}  // namespace

IconHandle Win32DialogRunner::LoadAppIcon(std::uint32_t iconId) {
    return reinterpret_cast<IconHandle>(LoadIconA(instance_, MAKEINTRESOURCEA(iconId)));
}

// The string table is read as stored, UTF-16, on both families (the 9x family has LoadStringW
// only as a stub): string n is entry n % 16 of block n / 16 + 1, each entry a count of UTF-16
// units followed by as many units.
std::u16string Win32DialogRunner::LoadResourceString(std::uint32_t stringId) {
    constexpr std::uint32_t kStringsPerBlock = 16;
    const HRSRC resource = FindResourceA(
        instance_, MAKEINTRESOURCEA(stringId / kStringsPerBlock + 1), MAKEINTRESOURCEA(6));
    const HGLOBAL loaded = resource ? LoadResource(instance_, resource) : nullptr;
    const auto* units = static_cast<const char16_t*>(loaded ? LockResource(loaded) : nullptr);
    if (units == nullptr) {
        return std::u16string();
    }
    const char16_t* end = units + SizeofResource(instance_, resource) / sizeof(char16_t);
    for (std::uint32_t i = 0; units < end; ++i) {
        const std::size_t length = *units++;
        if (length > static_cast<std::size_t>(end - units)) {
            break;
        }
        if (i == stringId % kStringsPerBlock) {
            return std::u16string(units, length);
        }
        units += length;
    }
    return std::u16string();
}

int Win32DialogRunner::RunModal(std::uint32_t templateId, DialogHandler& handler) {
    const WindowFunctions functions = WindowFunctionsFor(CurrentFamily(version_));
    ModalRun run{instance_, version_, functions, handler, std::nullopt};
    const LPARAM parameter = reinterpret_cast<LPARAM>(&run);
    const INT_PTR result = functions == WindowFunctions::Ansi
                               ? DialogBoxParamA(instance_, MAKEINTRESOURCEA(templateId), owner_,
                                                 DialogProc, parameter)
                               : DialogBoxParamW(instance_, MAKEINTRESOURCEW(templateId), owner_,
                                                 DialogProc, parameter);
    return static_cast<int>(result);
}

}  // namespace drvsweep::win32
