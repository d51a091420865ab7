#pragma once

#include "platform/multibyte_text.h"

namespace drvsweep {

// Whether `path`, relative to a registry root that holds branches of keys, names one key
// inside one branch: a branch name and at least one key name below it, joined by single
// backslashes ("Image\0000" below the driver class root, "USB\VID_0C6E&PID_5210" below Enum).
// Refused: the empty path, a leading, trailing or doubled backslash, and "." or ".." as a
// component. Such a path would name the root itself, a whole branch with every other device's
// keys in it, or a key elsewhere; the 9x removal deletes nothing through it. Backslashes are
// told apart from the second bytes of two-byte characters by the ANSI code page.
bool IsKeyPathBelowBranch(const CodePage& codePage, const char* path);

}  // namespace drvsweep
