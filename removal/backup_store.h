#pragma once

#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "removal/backup_manifest.h"
#include "removal/reg_text.h"

namespace drvsweep {

// One backup being written into its (unfinished) folder: the files copied into it, what its
// manifest will list, the registry keys for its .reg file, and the first failure, which fails
// the whole backup.
class BackupStore {
public:
    BackupStore(Platform& platform, std::string folder);

    // Reads the Windows folder and makes the backup's folder.
    bool Start();

    // Records the first failure; answers false so that a step can end with it.
    bool Fail(const std::string& why);

    // Copies the file at `original` as `stored` (relative to the backup); the manifest names
    // `original` as the place to put it back only when `restorable`.
    bool CopyFile(const std::string& original, const std::string& stored, bool restorable);

    // Copies a folder's tree as `stored`, its folders listed to be made again when
    // `restorable`. A junction or link inside fails the backup: what it leads to is no part
    // of the scanner's folder.
    bool CopyTree(const std::string& original, const std::string& stored, bool restorable);

    // Writes bytes as `stored`, naming `original` (may be empty) as where they belong.
    bool Store(const std::string& stored, const std::string& bytes, const std::string& original);

    // The place in the backup of a path below the Windows folder: "windows\<relative>".
    bool StoredName(const std::string& original, std::string* stored);

    // Writes the .reg file of the keys gathered, then the manifest under a temporary name,
    // renamed when whole.
    bool Finish(bool nt);

    const std::string& failure() const { return failure_; }
    const std::string& windows() const { return windows_; }
    BackupManifest& manifest() { return manifest_; }
    std::vector<RegTextKey>& keys() { return keys_; }

private:
    bool MakeFoldersFor(const std::string& stored);

    Platform& platform_;
    CodePage codePage_;
    std::string folder_;
    std::string windows_;
    std::string failure_;
    std::set<std::string> made_;
    BackupManifest manifest_;
    std::vector<RegTextKey> keys_;
};

}  // namespace drvsweep
