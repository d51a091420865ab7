#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "discovery/scanner_table.h"
#include "fuzz/fuzz_machine.h"
#include "fuzz/machine_snapshot.h"
#include "fuzz/removal_oracle.h"

namespace drvsweep::fuzz {

// The machine as it was before one step of a driver, the simulation's change counts that tell
// whether it may have changed since, and the faults struck by then. Checkpoints share their
// snapshot: a step that changes nothing hands the same one on.
struct Checkpoint {
    std::shared_ptr<const MachineSnapshot> snapshot;
    long registryChanges = 0;
    long fileChanges = 0;
    std::size_t deviceRemovals = 0;
    int strikes = 0;
    std::string workingFolder;
};

Checkpoint TakeCheckpoint(FuzzMachine& machine);

// After one step: every change lies within `allowed` (null: nothing may change), no handle is
// left open, and the working directory is the one the step began in (unless an injected
// SetCurrentDirectoryA failure struck, which can keep it from being put back). Reports a
// breach otherwise, and returns the machine as the step left it, for the next step.
Checkpoint CheckStep(FuzzMachine& machine, const Checkpoint& before, const ScannerItems* allowed,
                     const std::string& step, const ScannerRecord* row);

// After a scan: it changed nothing (CheckStep with nothing allowed), and the table is what the
// registry holds: one row per device key of the maker that may be a scanner (on USB, not one
// whose class is never a scanner's or cannot be told) in the bus's enumeration order, USB
// first, each with its busKind, and every row with an INF naming a plain TWAIN folder and its
// DLL. When no fault struck, no such key is missing. Returns the machine after the scan.
Checkpoint CheckScan(FuzzMachine& machine, const Checkpoint& before, const ScannerTable& table);

}  // namespace drvsweep::fuzz
