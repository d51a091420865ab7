#pragma once

#include <cstddef>

namespace drvsweep {

// Case folding of ASCII bytes one by one, for text that is ASCII alone (command-line switches
// and words). It cannot tell a letter from the second byte of a two-byte character: paths and
// names are compared with EqualsIgnoringCase (platform/multibyte_text.h) instead.
char LowerAscii(char c);

// Whether a and b are the same text once ASCII letters are folded.
bool EqualsIgnoringAsciiCase(const char* a, const char* b);

// Whether text begins with prefix once ASCII letters are folded.
bool StartsWithIgnoringAsciiCase(const char* text, const char* prefix);

}  // namespace drvsweep
