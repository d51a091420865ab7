#include "platform/sim/sim_dll_search_path.h"

namespace drvsweep::sim {

ExportCall SimDllSearchPath::Call(const char* name, bool exported) {
    if (!exported) {
        return ExportCall::Missing;
    }
    calls_.push_back(name);
    long ignored = 0;
    return faults_.ShouldFail(name, "", &ignored) ? ExportCall::Failed : ExportCall::Done;
}

ExportCall SimDllSearchPath::SearchSystemFolderOnly() {
    return Call("SetDefaultDllDirectories", hasSetDefault_);
}

ExportCall SimDllSearchPath::LeaveCurrentFolderOut() {
    return Call("SetDllDirectoryA", hasSetDirectory_);
}

}  // namespace drvsweep::sim
