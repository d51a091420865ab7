#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/platform.h"

namespace drvsweep {

// How many backups a folder of backups keeps: a removal's backup that makes more deletes the
// oldest.
constexpr std::size_t kBackupsKept = 10;

// The ending of a backup's folder while it is written: a folder so named is never taken for a
// backup, and the next removal's clean-up deletes it.
constexpr char kUnfinishedBackupEnding[] = ".partial";
constexpr char kManifestName[] = "manifest.json";

// The default folder of backups: %ProgramData%\DrvSweep\Backups on the NT family (the common
// application data folder), %windir%\DrvSweep\Backups on the 9x family and where the NT family
// names no common application data folder. Empty when neither folder can be read.
std::string DefaultBackupRoot(Platform& platform);

// Makes the folder of backups (`chosen`, else the default) with the folders above it that a
// default root adds. On the NT family they are made for administrators alone: a backup is put
// back into System32 with an administrator's rights, so no ordinary user may write into one.
// Refused, with *failure saying why, when a folder cannot be made or is a junction or link.
bool PrepareBackupRoot(Platform& platform, const std::string& chosen, std::string* root,
                       std::string* failure);

// A backup's folder name: "<yyyymmdd>-<hhmmss>-<model>", the time in UTC and the model the
// scanner's description with every character but ASCII letters, digits, '-' and '_' made '_'
// (at most 40 of them), so that the name is valid in every code page. The backups of one run
// are often made within one second: the second one of a second, and each after it, has its
// number after the time ("<yyyymmdd>-<hhmmss>.02-<model>"), so that names sort as the backups
// were made.
std::string BackupFolderName(const UtcTime& time, int numberInSecond, const char* description);

// The name's start that every backup made at `time` shares: "<yyyymmdd>-<hhmmss>".
std::string BackupTimeStamp(const UtcTime& time);

// The complete backups of the folder (named as BackupFolderName names them, not unfinished,
// holding a manifest), newest first, as full paths.
std::vector<std::string> CompleteBackups(Platform& platform, const std::string& root);

// Deletes the unfinished backups of the folder and every complete one past the newest `keep`.
// Nothing else of the folder is touched: a folder not named like a backup stays.
void PruneBackups(Platform& platform, const std::string& root, std::size_t keep);

}  // namespace drvsweep
