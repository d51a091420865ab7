#pragma once

#include <string>

namespace drvsweep::win32 {

// The ANSI text widened through MultiByteToWideChar(CP_ACP); false, with *wide untouched, when
// a byte sequence is no character of the code page.
bool WidenAnsi(const char* text, std::wstring* wide);

// The wide text narrowed through WideCharToMultiByte(CP_ACP); false, with *text untouched, when
// a character has no form in the code page: a path with a stand-in character would name
// another file.
bool NarrowToAnsi(const wchar_t* wide, std::string* text);

}  // namespace drvsweep::win32
