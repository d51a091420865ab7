#include "ui/win32/ansi_text.h"

#include <cstring>

#include "platform/win32/windows_api.h"
#include "ui/window_functions.h"

namespace drvsweep::win32 {

namespace {

// Appends UTF-16 text in the ANSI code page; false when it cannot be converted. No flags: the
// 9x family knows none of those that refuse best-fit or unmapped characters.
bool AppendAnsi(const wchar_t* wide, int length, std::string* text) {
    if (length == 0) {
        return true;
    }
    const int needed = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) {
        return false;
    }
    const std::size_t start = text->size();
    text->resize(start + static_cast<std::size_t>(needed));
    return WideCharToMultiByte(CP_ACP, 0, wide, length, &(*text)[start], needed, nullptr,
                               nullptr) == needed;
}

bool AppendConverted(const CodePageText& part, std::string* text) {
    const int length = static_cast<int>(std::strlen(part.bytes));
    const int needed = MultiByteToWideChar(part.codePage, 0, part.bytes, length, nullptr, 0);
    if (needed <= 0) {
        return false;
    }
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    return MultiByteToWideChar(part.codePage, 0, part.bytes, length, &wide[0], needed) == needed &&
           AppendAnsi(wide.c_str(), needed, text);
}

}  // namespace

std::string ToAnsi(const DisplayText& text) {
    const UINT ansiCodePage = GetACP();
    std::string ansi;
    for (int i = 0; i < text.count(); ++i) {
        const CodePageText& part = text.part(i);
        const std::size_t before = ansi.size();
        if (*part.bytes == '\0') {
            continue;
        }
        if (AnsiPartRouteFor(part.codePage, ansiCodePage) == AnsiPartRoute::Converted &&
            AppendConverted(part, &ansi)) {
            continue;
        }
        ansi.resize(before);
        ansi += part.bytes;
    }
    return ansi;
}

std::string ToAnsi(const std::u16string& text) {
    std::string ansi;
    if (!AppendAnsi(reinterpret_cast<const wchar_t*>(text.c_str()), static_cast<int>(text.size()),
                    &ansi)) {
        ansi.clear();
    }
    return ansi;
}

}  // namespace drvsweep::win32
