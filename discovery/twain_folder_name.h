#pragma once

namespace drvsweep {

// Whether `name` may serve as a TWAIN data source folder below %windir%\twain_32: one or more
// plain folder names joined by single backslashes. Refused: the empty name, a drive, an
// absolute or UNC path, "." and ".." or any name of dots and blanks alone, an empty component,
// names that Windows would silently change (a trailing dot or blank, a leading blank),
// wildcards, commas and the characters no Windows file name may hold.
bool IsSafeTwainFolderName(const char* name);

}  // namespace drvsweep
