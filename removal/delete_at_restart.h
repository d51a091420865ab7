#pragma once

#include "platform/platform.h"
#include "removal/item_outcome.h"

namespace drvsweep {

// Deletes a file the removal planned as DeleteOneFile does. When it is still there (another
// process holds it open), Windows is asked to delete it when the computer restarts
// (ScheduleDeletionAtRestart): DeletedAtRestart then, StillThere when even that failed.
ItemOutcome DeleteFileOrAtRestart(Platform& platform, const char* path);

// Deletes a data source folder with all it holds as DeleteTree does. Each file that stays is
// scheduled for the restart, and on the NT family so is each folder that stays although
// everything left inside it was scheduled, after its content, so that Windows removes it once
// it is empty. The 9x family deletes no folder at the restart: such a folder stays, and with it
// the folder given (StillThere), while the files inside it still go at the restart. A folder
// that still holds something not scheduled is not scheduled itself. Only the folder given and
// what lies below it are ever scheduled. The outcome is the folder's own.
// *scheduledSome tells whether any entry was set to go at the restart.
ItemOutcome DeleteTreeOrAtRestart(Platform& platform, const char* folder, bool* scheduledSome);

}  // namespace drvsweep
