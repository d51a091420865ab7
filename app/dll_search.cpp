#include "app/dll_search.h"

namespace drvsweep {

DllSearch LimitDllSearch(DllSearchPath& os) {
    if (os.SearchSystemFolderOnly() == ExportCall::Done) {
        return DllSearch::SystemFolderOnly;
    }
    // A failed SetDefaultDllDirectories leaves the search as it was: the older call still
    // takes the current folder out.
    if (os.LeaveCurrentFolderOut() == ExportCall::Done) {
        return DllSearch::WithoutCurrentFolder;
    }
    return DllSearch::Unchanged;
}

}  // namespace drvsweep
