#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/inf_files.h"
#include "platform/sim/sim_faults.h"
#include "platform/sim/sim_version.h"

namespace drvsweep::sim {

// Reads a whole file of the simulated machine; false when it cannot be read. The path is as
// the caller gave it, relative paths resolving against the working directory.
using FileReader = std::function<bool(const std::string& path, std::string* bytes)>;

// The simulated Setup API INF reader: opens INF files as Windows 4 style INFs and answers
// line counts, line walks and line texts as SetupGetLineTextA does. ANSI files and texts are
// in the machine's ANSI code page.
class SimInfFiles : public InfFiles {
public:
    SimInfFiles(FileReader reader, SimFaults& faults, const SimVersion& version);
    ~SimInfFiles() override;

    std::unique_ptr<InfFile> OpenWin4(const char* path) override;

    // INF files opened and not yet closed.
    int openCount() const;

private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace drvsweep::sim
