#pragma once

#include <string>

#include "platform/dialog_host.h"

namespace drvsweep::win32 {

// The text's parts in the system's ANSI code page, joined, for the ANSI window functions: a
// part already in that code page goes as stored (AnsiPartRouteFor), any other is converted
// through UTF-16 (MultiByteToWideChar, WideCharToMultiByte), and a character that the ANSI
// code page lacks shows as its default character, '?'. A part whose code page the system
// cannot convert goes as stored.
std::string ToAnsi(const DisplayText& text);

// A UTF-16 text, such as a string resource, in the system's ANSI code page.
std::string ToAnsi(const std::u16string& text);

}  // namespace drvsweep::win32
