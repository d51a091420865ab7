#pragma once

#include <cstdint>
#include <string>

namespace drvsweep::sim {

// Text as the Setup API holds it inside: UTF-16 code units.
using WideText = std::u16string;

// The characters of an INF file as the Setup API reads them: UTF-16LE when the bytes look
// like UTF-16 (with or without a byte order mark, judged as RtlIsTextUnicode judges them),
// UTF-8 after a UTF-8 byte order mark, and the ANSI code page otherwise.
WideText DecodeInfBytes(std::uint32_t codePage, const std::string& bytes);

// Text of the machine's ANSI code page (1252, 936 or 950). A character that it cannot hold
// becomes '?'; Windows' best-fit mappings (such as U+0100 to 'A') are not reproduced.
WideText DecodeAnsi(std::uint32_t codePage, const std::string& text);
std::string EncodeAnsi(std::uint32_t codePage, const WideText& text);

// White space as the Setup API's parser sees it: NUL and the Unicode White_Space set. (A NUL
// inside a field is kept, as a blank.)
bool IsInfSpace(char16_t c);

// Case-insensitive equality of section names and keys. Only ASCII letters are folded, as in
// Wine 8.0, where an upper-case E acute does not match a lower-case one.
bool EqualsIgnoringCase(const WideText& a, const WideText& b);

}  // namespace drvsweep::sim
