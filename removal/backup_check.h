#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"
#include "removal/backup_manifest.h"
#include "removal/reg_text.h"

namespace drvsweep {

// A backup read and checked whole, before anything of it is put back.
struct CheckedBackup {
    std::string folder;
    BackupManifest manifest;
    // The keys of its .reg file, when it has one.
    std::vector<RegTextKey> keys;
};

// Reads the backup in `folder` and checks it, changing nothing: its manifest reads; it was made
// on this Windows folder and code page; every file it lists is in the backup with the size and
// SHA-256 the manifest gives (a backup changed since is refused, naming the file); and it puts
// back only what a removal may have taken, nothing else:
// - files in a driver folder, at or below a TWAIN root, or in the INF folder, each an item of
//   the manifest (a file, a package's .inf or .pnf) or inside a data source folder item;
// - folders below a TWAIN root that are items or lie inside a data source folder item;
// - the keys of a COM class ("Software\Classes\CLSID\{guid}", in either view), and on the 9x
//   family a device key of the maker below Enum and a driver key below the class root, the
//   .reg file holding only those keys and keys below them;
// - packages whose INF was in the INF folder, staged from a folder of the backup.
// False, with *failure naming what is wrong, when any of it does not hold.
bool ReadCheckedBackup(Platform& platform, const std::string& folder, CheckedBackup* backup,
                       std::string* failure);

}  // namespace drvsweep
