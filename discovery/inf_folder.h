#pragma once

#include "platform/fixed_text.h"
#include "platform/platform.h"

namespace drvsweep {

// The folder that the driver INF search reads: %windir%\inf on the NT family, %windir%\inf\other
// on the 9x family. False when %windir% cannot be read or the path does not fit 260 bytes.
bool ReadInfFolder(Platform& platform, PathText* folder);

}  // namespace drvsweep
