#pragma once

#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_machine.h"

namespace drvsweep::fuzz {

// The scan, then the built-in removal of every row in turn, each step under the oracle.
void DriveBuiltInRemoval(FuzzInput& input, FuzzMachine& machine);

// The main window over the simulated dialog host: selections, Delete and double-clicks,
// answers Yes, No or a box that failed, timer ticks and a registered uninstaller that finishes,
// also while a box is open; every step under the oracle, and the list kept against the table.
void DriveMainWindow(FuzzInput& input, FuzzMachine& machine);

// The command line's /remove: all scanners, one named in another letter case, or one that no
// scanner has, with or without /whatif; the run under the oracle, which allows the union of
// the named scanners' items and nothing at all for /whatif.
void DriveCommandLine(FuzzInput& input, FuzzMachine& machine);

// One fuzz input: the first byte chooses the driver, the rest builds the machine and steers
// the driver. Aborts with an account on a breach; returns 0 otherwise (LLVMFuzzerTestOneInput's
// contract, so that the fuzzer and the corpus replay call the same function).
int RunFuzzInput(const std::uint8_t* data, std::size_t size);

}  // namespace drvsweep::fuzz
