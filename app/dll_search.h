#pragma once

#include "platform/dll_search_path.h"

namespace drvsweep {

// Where a DLL the process loads by a bare name is looked for once LimitDllSearch has run.
enum class DllSearch {
    SystemFolderOnly,      // neither the program's folder nor the current folder
    WithoutCurrentFolder,  // the program's folder, the system folders and PATH
    Unchanged,             // a Windows with neither call (9x, 2000, XP before SP1)
};

// Takes the program's folder and the current folder out of the DLL search as far as this
// Windows allows: the system folder only where it can, else the current folder out. Called
// first in both programs, before anything loads a DLL, since an elevated program must load
// nothing that a user could have put beside it or in the folder it was started from.
DllSearch LimitDllSearch(DllSearchPath& os);

}  // namespace drvsweep
