#pragma once

#include <string>

namespace drvsweep::win32 {

// The ANSI text as UTF-16 through MultiByteToWideChar(CP_ACP), embedded NULs kept. Exact refuses
// a byte sequence that is no character of the code page (MB_ERR_INVALID_CHARS); otherwise such
// a sequence becomes the code page's default character. False, with *utf16 untouched, when the
// text is refused.
bool AnsiToUtf16Text(const std::string& ansi, bool exact, std::u16string* utf16);

// The UTF-16 text in the ANSI code page through WideCharToMultiByte(CP_ACP,
// WC_NO_BEST_FIT_CHARS); false, with *ansi untouched, when a character has no exact form there.
bool Utf16ToAnsiText(const std::u16string& utf16, std::string* ansi);

// The ANSI text widened through MultiByteToWideChar(CP_ACP); false, with *wide untouched, when
// a byte sequence is no character of the code page.
bool WidenAnsi(const char* text, std::wstring* wide);

// The wide text narrowed through WideCharToMultiByte(CP_ACP); false, with *text untouched, when
// a character has no form in the code page: a path with a stand-in character would name
// another file.
bool NarrowToAnsi(const wchar_t* wide, std::string* text);

}  // namespace drvsweep::win32
