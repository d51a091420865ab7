#pragma once

#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/command_line_platform.h"

namespace drvsweep::cli {

// /restore FOLDER|last: puts a removal's backup back (RestoreBackup), "last" being the newest
// backup of the folder of backups (/backupdir, else the default one). Reports every item in
// text or JSON and logs it; ends with 0 when everything is back, 3010 when Windows reads some
// of it only when it starts, 1603 when the backup was refused or something was not put back.
int RunRestore(CommandLinePlatform& platform, const CommandLine& line,
               const std::vector<std::string>& arguments);

// /backups: the complete backups of the folder of backups, newest first, each with its time,
// scanner and size, in text or JSON. Ends with 0, or 1603 when the folder cannot be read.
int RunBackups(CommandLinePlatform& platform, const CommandLine& line);

}  // namespace drvsweep::cli
