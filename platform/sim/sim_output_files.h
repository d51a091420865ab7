#pragma once

#include <set>
#include <string>

#include "platform/output_files.h"
#include "platform/sim/sim_faults.h"
#include "platform/sim/sim_file_tree.h"

namespace drvsweep::sim {

// Output files written into the simulated file tree. Faults: "CreateFileA" with the path
// fails a write, "CreateDirectoryA" with the path a folder,
// "ConvertStringSecurityDescriptorToSecurityDescriptorA" with the path a folder's descriptor.
// A file is written only inside a folder that exists, as CreateFileA requires.
class SimOutputFiles : public OutputFiles {
public:
    SimOutputFiles(SimFaults& faults, SimFileTree& files) : faults_(faults), files_(files) {}

    bool WriteWholeFile(const char* path, const std::string& bytes) override;
    bool AppendToFile(const char* path, const std::string& bytes) override;
    std::int64_t FileSize(const char* path) override;
    bool MoveReplacing(const char* from, const char* to) override;
    bool RemoveOutputFile(const char* path) override;
    // Records each folder it makes as secured (administrators and SYSTEM only).
    bool MakeAdministratorsFolder(const char* path) override;

    const std::set<std::string>& securedFolders() const { return securedFolders_; }

private:
    bool CanWrite(const char* path);

    SimFaults& faults_;
    SimFileTree& files_;
    std::set<std::string> securedFolders_;
};

}  // namespace drvsweep::sim
