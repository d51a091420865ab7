#pragma once

#include "platform/file_system.h"
#include "platform/version_info.h"

namespace drvsweep {

// Asks Windows to delete a file, or a folder that is empty by then, when the computer restarts.
// The NT family is asked through MoveFileExA. The 9x family has no such call: the entry's short
// path (the only names its start-up reads) goes into a NUL= line at the end of the [rename]
// section of %windir%\WININIT.INI, which is rewritten whole so that it is never left half
// written: the new text goes to WININIT.DSN, the old file steps aside as WININIT.DSO, the new
// one takes its name and the old one is deleted; a step that fails puts back what was there.
// WININIT.DSO left by an update that did not finish stops any further one, since it may be the
// only copy of other programs' lines. False when Windows could not be asked.
bool ScheduleDeletionAtRestart(FileSystem& files, VersionInfo& version, const char* path);

}  // namespace drvsweep
