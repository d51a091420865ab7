#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "platform/sim/sim_faults.h"
#include "platform/sim/sim_windows.h"

namespace drvsweep::fuzz {

// One machine built from the fuzzer's input, with what the oracle needs to know of it that the
// simulated Windows does not tell: the hardware-ID property of every Setup API device, as it
// was added, and the faults injected.
struct FuzzMachine {
    sim::SimWindows windows;
    std::vector<std::pair<std::string, std::optional<std::string>>> deviceHardwareIds;
    std::vector<sim::FaultRule> faults;
    // Per INF (its upper-cased path), the files its install section copied where a removal may
    // take them: upper-cased full paths. Names and destinations the removal must refuse are left
    // out, as are files outside the driver folders.
    std::map<std::string, std::vector<std::string>> installedFiles;

    bool HasFaultOn(const char* call) const;
};

// Builds the machine directly through the simulation's helpers: family, language, %windir%,
// device keys of the maker and of others (near misses included), driver class keys, Uninstall
// keys, OEM INF files with hostile [DestinationDirs] lines, TWAIN data sources and system
// folders with files of every attribute, the working directory and a few faults.
void BuildMachine(FuzzInput& input, FuzzMachine& machine);

}  // namespace drvsweep::fuzz
