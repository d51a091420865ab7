#pragma once

#include "platform/multibyte_text.h"

namespace drvsweep {

// Whether `name` may serve as a TWAIN data source folder below %windir%\twain_32: one or more
// plain folder names joined by single backslashes. Refused: the empty name, a drive, an
// absolute or UNC path, "." and ".." or any name of dots and blanks alone, an empty component,
// names that Windows would silently change (a trailing dot or blank, a leading blank),
// wildcards, commas and the characters no Windows file name may hold. The name is ANSI text in
// `codePage`: a byte that is the second of a two-byte character (0x5C in Big5 功, 0x7C in
// Big5 弋) is part of that character, not a separator or a forbidden character.
bool IsSafeTwainFolderName(const CodePage& codePage, const char* name);

}  // namespace drvsweep
