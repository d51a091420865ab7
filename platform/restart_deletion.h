#pragma once

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/multibyte_text.h"
#include "platform/registry.h"
#include "platform/version_info.h"

namespace drvsweep {

// Where the NT family keeps the deletions and renames it performs at the next start: pairs of
// NUL-terminated paths, the old one written \??\<full path>, the new one empty for a
// deletion.
constexpr const char* kSessionManagerKey = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr const char* kPendingRenamesValue = "PendingFileRenameOperations";

// The old paths of the value's pairs that have no new name (the deletions), "\\??\\" taken off.
std::vector<std::string> PendingRenameDeletions(const std::string& bytes);

// Asks Windows to delete a file, or on the NT family also a folder that is empty by then, when
// the computer restarts. The NT family is asked through MoveFileExA. The 9x family has no such
// call, and its start-up deletes files only: a folder is refused there (false). A file's short
// path (the only names its start-up reads) goes into a NUL= line at the end of the [rename]
// section of %windir%\WININIT.INI, which is rewritten whole so that it is never left half
// written: the new text goes to WININIT.DSN, the old file steps aside as WININIT.DSO, the new
// one takes its name and the old one is deleted; a step that fails puts back what was there.
// WININIT.DSO left by an update that did not finish stops any further one, since it may be the
// only copy of other programs' lines. False when Windows could not be asked.
bool ScheduleDeletionAtRestart(FileSystem& files, VersionInfo& version, const char* path);

// The entries Windows is already set to delete when the computer restarts, read once: on the NT
// family the pairs of PendingFileRenameOperations without a new name, on the 9x family the NUL=
// lines of WININIT.INI's [rename] section. A list that cannot be read holds nothing, so that
// everything there is still acted on.
class ScheduledDeletions {
public:
    ScheduledDeletions(Registry& registry, FileSystem& files, VersionInfo& version);

    // Whether the entry at the full path `path` is among them, compared as EqualsIgnoringCase
    // compares in the system's code page. The 9x family's lines hold short paths, so there the
    // entry's short path is compared.
    bool Holds(const char* path) const;

private:
    FileSystem& files_;
    CodePage codePage_;
    std::vector<std::string> paths_;
    bool shortPaths_ = false;
};

}  // namespace drvsweep
