#include "platform/win32/ansi_text.h"

#include <vector>

#include "platform/win32/windows_api.h"

namespace drvsweep::win32 {

bool AnsiToUtf16Text(const std::string& ansi, bool exact, std::u16string* utf16) {
    if (ansi.empty()) {
        utf16->clear();
        return true;
    }
    const DWORD flags = exact ? MB_ERR_INVALID_CHARS : 0;
    const int size = static_cast<int>(ansi.size());
    const int length = MultiByteToWideChar(CP_ACP, flags, ansi.data(), size, nullptr, 0);
    if (length <= 0) {
        return false;
    }
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length));
    if (MultiByteToWideChar(CP_ACP, flags, ansi.data(), size, buffer.data(), length) != length) {
        return false;
    }
    utf16->assign(buffer.begin(), buffer.end());
    return true;
}

bool Utf16ToAnsiText(const std::u16string& utf16, std::string* ansi) {
    if (utf16.empty()) {
        ansi->clear();
        return true;
    }
    // UTF-8 as the ANSI code page takes neither the flag nor a default character: every
    // character has a form there.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* const askUsedDefault = utf8 ? nullptr : &usedDefault;
    const std::wstring wide(utf16.begin(), utf16.end());
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(CP_ACP, flags, wide.data(), size, nullptr, 0, nullptr, askUsedDefault);
    if (length <= 0 || usedDefault) {
        return false;
    }
    std::vector<char> buffer(static_cast<std::size_t>(length));
    if (WideCharToMultiByte(CP_ACP, flags, wide.data(), size, buffer.data(), length, nullptr,
                            askUsedDefault) != length ||
        usedDefault) {
        return false;
    }
    ansi->assign(buffer.begin(), buffer.end());
    return true;
}

bool WidenAnsi(const char* text, std::wstring* wide) {
    const int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    if (length <= 0) {
        return false;
    }
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length));
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, buffer.data(), length) !=
        length) {
        return false;
    }
    wide->assign(buffer.data());
    return true;
}

bool NarrowToAnsi(const wchar_t* wide, std::string* text) {
    // UTF-8 as the ANSI code page (a Windows 10 option) takes no default character: every
    // character has a form there, and the call refuses the argument.
    BOOL usedDefault = FALSE;
    BOOL* const askUsedDefault = GetACP() == CP_UTF8 ? nullptr : &usedDefault;
    const int length =
        WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, askUsedDefault);
    if (length <= 0 || usedDefault) {
        return false;
    }
    std::vector<char> buffer(static_cast<std::size_t>(length));
    if (WideCharToMultiByte(CP_ACP, 0, wide, -1, buffer.data(), length, nullptr, askUsedDefault) !=
            length ||
        usedDefault) {
        return false;
    }
    text->assign(buffer.data());
    return true;
}

}  // namespace drvsweep::win32
