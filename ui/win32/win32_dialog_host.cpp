#include "ui/win32/win32_dialog_host.h"

#include "ui/win32/ansi_text.h"
#include "ui/win32/wide_text.h"

namespace drvsweep::win32 {

IconHandle Win32DialogHost::LoadAppIcon(std::uint32_t iconId) {
    return resources_.LoadAppIcon(iconId);
}

std::u16string Win32DialogHost::LoadResourceString(std::uint32_t stringId) {
    return resources_.LoadResourceString(stringId);
}

int Win32DialogHost::RunModal(std::uint32_t templateId, DialogHandler& handler) {
    return resources_.RunModal(templateId, handler);
}

LRESULT Win32DialogHost::SendToItem(int itemId, UINT message, WPARAM wParam, LPARAM lParam) {
    return ansi() ? SendDlgItemMessageA(window_, itemId, message, wParam, lParam)
                  : SendDlgItemMessageW(window_, itemId, message, wParam, lParam);
}

void Win32DialogHost::SetCaption(const DisplayText& text) {
    if (ansi()) {
        SetWindowTextA(window_, ToAnsi(text).c_str());
    } else {
        SetWindowTextW(window_, ToWide(text).c_str());
    }
}

void Win32DialogHost::SetItemText(int itemId, const DisplayText& text) {
    if (ansi()) {
        SetDlgItemTextA(window_, itemId, ToAnsi(text).c_str());
    } else {
        SetDlgItemTextW(window_, itemId, ToWide(text).c_str());
    }
}

void Win32DialogHost::EnableItem(int itemId, bool enable) {
    EnableWindow(GetDlgItem(window_, itemId), enable ? TRUE : FALSE);
}

// The list box messages take an index as WPARAM and answer an int in the LRESULT; -1 passes as
// the all-ones WPARAM, as the messages expect.
int Win32DialogHost::ListInsert(int listId, int index, const DisplayText& text) {
    if (ansi()) {
        const std::string narrow = ToAnsi(text);
        return static_cast<int>(SendToItem(listId, LB_INSERTSTRING, static_cast<WPARAM>(index),
                                           reinterpret_cast<LPARAM>(narrow.c_str())));
    }
    const std::wstring wide = ToWide(text);
    return static_cast<int>(SendToItem(listId, LB_INSERTSTRING, static_cast<WPARAM>(index),
                                       reinterpret_cast<LPARAM>(wide.c_str())));
}

int Win32DialogHost::ListSetSelection(int listId, int index) {
    return static_cast<int>(SendToItem(listId, LB_SETCURSEL, static_cast<WPARAM>(index), 0));
}

int Win32DialogHost::ListSelection(int listId) {
    return static_cast<int>(SendToItem(listId, LB_GETCURSEL, 0, 0));
}

int Win32DialogHost::ListDelete(int listId, int index) {
    return static_cast<int>(SendToItem(listId, LB_DELETESTRING, static_cast<WPARAM>(index), 0));
}

bool Win32DialogHost::StartTimer(std::uintptr_t timerId, std::uint32_t milliseconds) {
    return SetTimer(window_, timerId, milliseconds, nullptr) != 0;
}

bool Win32DialogHost::StopTimer(std::uintptr_t timerId) {
    return KillTimer(window_, timerId) != FALSE;
}

int Win32DialogHost::ShowMessageBox(const DisplayText& text, const DisplayText& caption,
                                    std::uint32_t style) {
    if (ansi()) {
        return MessageBoxA(window_, ToAnsi(text).c_str(), ToAnsi(caption).c_str(), style);
    }
    return MessageBoxW(window_, ToWide(text).c_str(), ToWide(caption).c_str(), style);
}

bool Win32DialogHost::AppendSystemMenuEntry(std::uint32_t commandId, const std::u16string& text) {
    const HMENU menu = GetSystemMenu(window_, FALSE);
    if (menu == nullptr) {
        return false;
    }
    if (ansi()) {
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, commandId, ToAnsi(text).c_str());
    } else {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING, commandId, reinterpret_cast<const wchar_t*>(text.c_str()));
    }
    return true;
}

void Win32DialogHost::SetIcon(IconHandle icon, bool big) {
    const WPARAM which = big ? ICON_BIG : ICON_SMALL;
    if (ansi()) {
        SendMessageA(window_, WM_SETICON, which, static_cast<LPARAM>(icon));
    } else {
        SendMessageW(window_, WM_SETICON, which, static_cast<LPARAM>(icon));
    }
}

void Win32DialogHost::EndDialog(int result) {
    ::EndDialog(window_, result);
}

}  // namespace drvsweep::win32
