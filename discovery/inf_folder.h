#pragma once

#include <functional>

#include "platform/fixed_text.h"
#include "platform/inf_files.h"
#include "platform/platform.h"

namespace drvsweep {

// The folder that the driver INF search reads: %windir%\inf on the NT family, %windir%\inf\other
// on the 9x family. False when %windir% cannot be read or the path does not fit 260 bytes.
bool ReadInfFolder(Platform& platform, PathText* folder);

// Called with the full path of an INF and the INF opened; true ends the walk.
using InfVisit = std::function<bool(const PathText& path, InfFile& inf)>;

// Called with the full path of an INF before it is opened: whether the walk opens it.
using InfChoice = std::function<bool(const PathText& path)>;

// Walks the family's INF folder (the one above, with "oem*.inf" on the NT family and "*.inf"
// on the 9x family) in the order the file system lists it, and calls visit for every file that
// `choose` (when given) lets it open and that opens as a Windows 4 style INF, each closed before
// the next is opened. The INF folder is the
// working directory during the walk, and the caller's again on every way out; a working
// directory that cannot be saved is never changed, and then nothing is visited. Returns whether
// a visit ended the walk.
bool VisitInfFolder(Platform& platform, Family family, const InfVisit& visit,
                    const InfChoice& choose = nullptr);

}  // namespace drvsweep
