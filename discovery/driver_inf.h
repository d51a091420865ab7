#pragma once

#include "platform/fixed_text.h"
#include "platform/platform.h"

namespace drvsweep {

// Searches the system's OEM INF files for one whose models sections list hardwareId (case
// ignored, containment). Returns 1 with the INF's full path in *infPath, or 0 with *infPath
// untouched. The working directory is the caller's again on every way out.
int FindDriverInf(Platform& platform, const char* hardwareId, PathText* infPath);

// Reads the scanner's TWAIN data source folder, the name below %windir%\twain_32, from the
// INF's [DestinationDirs] section. Returns 1 with *folder set only when that name is one the
// removal may safely delete; otherwise 0 with *folder untouched.
int ReadTwainFolder(Platform& platform, const char* infPath, PathText* folder);

}  // namespace drvsweep
