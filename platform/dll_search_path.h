#pragma once

namespace drvsweep {

// How a call that not every Windows has went: kernel32 lacks it, it failed, or it took effect.
enum class ExportCall { Missing, Failed, Done };

// The two calls that limit where the process's own DLL loads look, each looked up in kernel32
// at run time.
class DllSearchPath {
public:
    virtual ~DllSearchPath() = default;

    // SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32): bare names are looked up in the
    // system folder only (Windows 8 and later, and 7, Vista and 2008 with KB2533623).
    virtual ExportCall SearchSystemFolderOnly() = 0;

    // SetDllDirectoryA(""): the current folder leaves the search, the program's folder stays
    // (XP SP1 and Server 2003 and later).
    virtual ExportCall LeaveCurrentFolderOut() = 0;
};

}  // namespace drvsweep
