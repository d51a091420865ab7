#include "tests/wine/window_reader.h"

namespace drvsweep::testing {

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
    return text;
}

std::wstring ItemText(HWND dialog, int itemId) {
    return WindowText(GetDlgItem(dialog, itemId));
}

std::vector<std::wstring> ListEntries(HWND dialog, int listId) {
    // The list may change between two messages while the program removes an entry, so an
    // entry is read into a buffer far larger than any entry and never sized by LB_GETTEXTLEN:
    // LB_GETTEXT has no buffer size, and a longer entry moved into place would overrun it.
    constexpr std::size_t kLongestEntry = 4096;
    const HWND list = GetDlgItem(dialog, listId);
    std::vector<std::wstring> entries;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length < 0 || static_cast<std::size_t>(length) >= kLongestEntry) {
            break;
        }
        std::wstring entry(kLongestEntry, L'\0');
        const LRESULT read = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i),
                                          reinterpret_cast<LPARAM>(&entry[0]));
        if (read < 0) {
            break;
        }
        entry.resize(static_cast<std::size_t>(read));
        entries.push_back(entry);
    }
    return entries;
}

int ListSelection(HWND dialog, int listId) {
    return static_cast<int>(SendDlgItemMessageW(dialog, listId, LB_GETCURSEL, 0, 0));
}

bool ItemEnabled(HWND dialog, int itemId) {
    return IsWindowEnabled(GetDlgItem(dialog, itemId)) != FALSE;
}

}  // namespace drvsweep::testing
