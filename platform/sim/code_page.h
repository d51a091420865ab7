#pragma once

#include <cstdint>
#include <string>

namespace drvsweep::sim {

// The simulated ANSI code pages: 1252 by its own table, 936 and 950 through the host's iconv,
// converted as MultiByteToWideChar and WideCharToMultiByte do with no best-fit mapping. The
// registry file reader knows 1252 alone.

// One byte of code page 1252 as a UTF-16 unit; the five bytes the code page leaves undefined
// stand for the C1 control of the same value.
char16_t AnsiToUtf16Unit(unsigned char byte);

// One UTF-16 unit as a byte of code page 1252, or '?' outside the code page.
char Utf16UnitToAnsi(char16_t unit);

// UTF-16LE bytes to code page 1252. A trailing odd byte is dropped.
std::string Utf16LeToAnsi(const std::string& bytes);

// Text of code page 1252, 936 or 950 as UTF-16 and back, as MultiByteToWideChar and
// WideCharToMultiByte convert it with no best-fit mapping. A byte sequence that is no character
// of the code page reads as '?', and so becomes a character that the code page cannot hold.
std::u16string AnsiToUtf16(std::uint32_t codePage, const std::string& text);
std::string Utf16ToAnsi(std::uint32_t codePage, const std::u16string& text);

// A host file name (UTF-8) as the ANSI file functions of a machine in code page 1252, 936 or
// 950 give it, as Wine gives the names of the folders it maps; false when a character has no
// form in that code page.
bool HostNameToAnsi(const std::string& name, std::uint32_t codePage, std::string* ansi);

}  // namespace drvsweep::sim
