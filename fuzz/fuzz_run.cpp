#include "fuzz/fuzz_run.h"

#include "fuzz/scan_comparison.h"

namespace drvsweep::fuzz {

namespace {

using Driver = void (*)(FuzzInput& input, FuzzMachine& machine);

// Every way the program removes a scanner, so that each removal comes under the same oracle.
constexpr Driver kDrivers[] = {DriveBuiltInRemoval, DriveMainWindow, DriveCommandLine};

}  // namespace

int RunFuzzInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const Driver driver = input.Choose(kDrivers);
    FuzzMachine machine;
    BuildMachine(input, machine);
    CheckFilteredScan(machine);
    driver(input, machine);
    return 0;
}

}  // namespace drvsweep::fuzz
