#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace drvsweep {

// What became of one thing a restore puts back.
enum class RestoreOutcome {
    PutBack,       // made again from the backup (a file, a folder, a key's values, a package)
    AlreadyThere,  // the same is there now: nothing to do
    LeftAsIs,      // something different is there now; it was not overwritten
    Failed,        // Windows refused to make it
};

// One thing of a backup and what the restore made of it: its kind ("file", "folder",
// "registryKey", "infPackage"), its path, its outcome, and a note (the differing value, the
// staged INF's new name, Windows' error).
struct RestoredItem {
    std::string kind;
    std::string path;
    RestoreOutcome outcome = RestoreOutcome::Failed;
    std::string note;
};

// What a restore came to. When `refused`, the backup did not pass its check (ReadCheckedBackup)
// and nothing was changed.
struct RestoreResult {
    bool refused = false;
    std::string refusal;
    std::string devicePath;
    std::string description;
    std::vector<RestoredItem> items;
    // The 9x family reads the device keys put back when it starts.
    bool restartNeeded = false;

    // Whether everything is back (put back or there already).
    bool complete() const;
};

// Puts back the backup in `folder`, once it passed ReadCheckedBackup: its folders, then its
// files (never over a file that is there now: a different one stays and is reported), each
// written under a temporary name and renamed; on the NT family a package's INF is not copied
// back but staged again from the backup's package folder (SetupCopyOEMInfA), so that Windows
// installs it when the scanner is plugged in; then the keys of its .reg file, values that are
// missing written and differing ones left.
RestoreResult RestoreBackup(Platform& platform, const std::string& folder);

}  // namespace drvsweep
