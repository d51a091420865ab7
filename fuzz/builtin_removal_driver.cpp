#include <memory>

#include "discovery/scanner_table.h"
#include "fuzz/fuzz_run.h"
#include "fuzz/step_checks.h"
#include "ui/uninstall_command.h"

namespace drvsweep::fuzz {

void DriveBuiltInRemoval(FuzzInput&, FuzzMachine& machine) {
    Platform& platform = machine.windows.platform();
    const auto table = std::make_unique<ScannerTable>();
    const Checkpoint beforeScan = TakeCheckpoint(machine);
    ScanInstalledScanners(platform, *table);
    CheckScan(machine, beforeScan, *table);
    for (std::int32_t i = 0; i <= table->lastIndex; ++i) {
        const ScannerRecord& row = table->rows[i];
        const ScannerItems items = ItemsOf(machine, row);
        const Checkpoint before = TakeCheckpoint(machine);
        UninstallBuiltIn(platform, row);
        CheckStep(machine, before, &items, "the built-in removal of row " + std::to_string(i),
                  &row);
    }
}

}  // namespace drvsweep::fuzz
