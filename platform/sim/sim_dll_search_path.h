#pragma once

#include <string>
#include <vector>

#include "platform/dll_search_path.h"
#include "platform/sim/sim_faults.h"

namespace drvsweep::sim {

// The DLL search calls of a simulated kernel32, which starts with both exports. Faults
// "SetDefaultDllDirectories" and "SetDllDirectoryA" (empty argument) make an existing call fail.
class SimDllSearchPath : public DllSearchPath {
public:
    explicit SimDllSearchPath(SimFaults& faults) : faults_(faults) {}

    ExportCall SearchSystemFolderOnly() override;
    ExportCall LeaveCurrentFolderOut() override;

    void SetExports(bool setDefaultDllDirectories, bool setDllDirectory) {
        hasSetDefault_ = setDefaultDllDirectories;
        hasSetDirectory_ = setDllDirectory;
    }
    // The calls made, in order, by their Win32 names.
    const std::vector<std::string>& calls() const { return calls_; }

private:
    ExportCall Call(const char* name, bool exported);

    SimFaults& faults_;
    bool hasSetDefault_ = true;
    bool hasSetDirectory_ = true;
    std::vector<std::string> calls_;
};

}  // namespace drvsweep::sim
