#pragma once

#include <cstdint>
#include <string>

#include "platform/dialog_host.h"
#include "platform/win32/windows_api.h"
#include "ui/win32/win32_dialog_runner.h"
#include "ui/window_functions.h"

namespace drvsweep::win32 {

// The operations on one dialog window, forwarded to user32: SetWindowText, SetDlgItemText,
// EnableWindow, the list box messages, SetTimer and KillTimer, MessageBox, the system menu
// (GetSystemMenu, AppendMenu), WM_SETICON and EndDialog. A window made with the wide functions
// gets them all in their wide form, each text part converted from its own code page; one made
// with the ANSI functions (9x family) gets the ANSI forms and every text in the system's ANSI
// code page.
class Win32DialogHost : public DialogHost {
public:
    Win32DialogHost(HINSTANCE instance, HWND window, VersionInfo& version,
                    WindowFunctions functions)
        : window_(window), functions_(functions), resources_(instance, window, version) {}

    HWND window() const { return window_; }

    IconHandle LoadAppIcon(std::uint32_t iconId) override;
    std::u16string LoadResourceString(std::uint32_t stringId) override;
    int RunModal(std::uint32_t templateId, DialogHandler& handler) override;

    void SetCaption(const DisplayText& text) override;
    void SetItemText(int itemId, const DisplayText& text) override;
    void EnableItem(int itemId, bool enable) override;
    int ListInsert(int listId, int index, const DisplayText& text) override;
    int ListSetSelection(int listId, int index) override;
    int ListSelection(int listId) override;
    int ListDelete(int listId, int index) override;
    bool StartTimer(std::uintptr_t timerId, std::uint32_t milliseconds) override;
    bool StopTimer(std::uintptr_t timerId) override;
    int ShowMessageBox(const DisplayText& text, const DisplayText& caption,
                       std::uint32_t style) override;
    bool AppendSystemMenuEntry(std::uint32_t commandId, const std::u16string& text) override;
    void SetIcon(IconHandle icon, bool big) override;
    void EndDialog(int result) override;

private:
    bool ansi() const { return functions_ == WindowFunctions::Ansi; }
    LRESULT SendToItem(int itemId, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_;
    WindowFunctions functions_;
    Win32DialogRunner resources_;
};

}  // namespace drvsweep::win32
