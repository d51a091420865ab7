#include "ui/win32/wide_text.h"

#include <cstring>

#include "platform/win32/windows_api.h"

namespace drvsweep::win32 {

namespace {

// Appends the part's characters; false when the code page cannot convert them.
bool AppendConverted(const CodePageText& part, std::wstring* text) {
    const int length = static_cast<int>(std::strlen(part.bytes));
    if (length == 0) {
        return true;
    }
    const int needed = MultiByteToWideChar(part.codePage, 0, part.bytes, length, nullptr, 0);
    if (needed <= 0) {
        return false;
    }
    const std::size_t start = text->size();
    text->resize(start + static_cast<std::size_t>(needed));
    return MultiByteToWideChar(part.codePage, 0, part.bytes, length, &(*text)[start], needed) ==
           needed;
}

}  // namespace

std::wstring ToWide(const DisplayText& text) {
    std::wstring wide;
    for (int i = 0; i < text.count(); ++i) {
        const std::size_t before = wide.size();
        if (!AppendConverted(text.part(i), &wide)) {
            wide.resize(before);
            AppendConverted({text.part(i).bytes, CP_ACP}, &wide);
        }
    }
    return wide;
}

}  // namespace drvsweep::win32
