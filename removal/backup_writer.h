#pragma once

#include <string>

#include "discovery/scanner_table.h"
#include "platform/platform.h"
#include "removal/removal_plan.h"

namespace drvsweep {

// What writing one scanner's backup came to: the backup's folder when it is complete, else why
// not (one line, in English, for the log and the command line's error).
struct BackupResult {
    bool written = false;
    std::string folder;
    std::string failure;
};

// Writes the backup of what the scanner's plan deletes into a new folder of `root`
// (PrepareBackupRoot), before anything is removed:
// - every file and folder of the plan, as "windows\<its path below the Windows folder>";
// - every driver package, on the NT family as a folder Windows can stage again
//   ("packages\<oemN>"): the driver store's folder of the package where Windows keeps one,
//   otherwise its INF, its catalog and the files its SourceDisksFiles name, from where the
//   package installed them;
// - every key of the plan, with its values and subkeys, as "registry.reg" (REGEDIT4 on the 9x
//   family, version 5 on the NT family, a 32-bit view's key by its WOW6432Node path);
// - the manifest, every file with its size and SHA-256.
// The folder carries kUnfinishedBackupEnding until everything, the manifest last, is written;
// only then is it renamed. Anything that cannot be read or written fails the whole backup,
// whose unfinished folder is then deleted: a removal must not go on without its way back.
BackupResult WriteBackup(Platform& platform, const ScannerRecord& scanner, const RemovalPlan& plan,
                         const std::string& root, const char* toolVersion);

}  // namespace drvsweep
