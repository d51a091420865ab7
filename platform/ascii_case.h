#pragma once

#include <cstddef>

namespace drvsweep {

// Case folding of the ASCII letters alone. Device IDs, INF names and switches are compared this
// way: every other byte, including the second byte of a double-byte character, stays as it is.
char LowerAscii(char c);

// Whether a and b are the same text once ASCII letters are folded.
bool EqualsIgnoringAsciiCase(const char* a, const char* b);

// Whether text begins with prefix once ASCII letters are folded.
bool StartsWithIgnoringAsciiCase(const char* text, const char* prefix);

}  // namespace drvsweep
