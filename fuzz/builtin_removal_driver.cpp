#include <memory>
#include <vector>

#include "discovery/scanner_table.h"
#include "fuzz/fuzz_run.h"
#include "fuzz/step_checks.h"
#include "removal/scanner_removal.h"

namespace drvsweep::fuzz {

void DriveBuiltInRemoval(FuzzInput&, FuzzMachine& machine) {
    Platform& platform = machine.windows.platform();
    // One table for every run, as the program has one: it is too large to be allocated and
    // cleared afresh for each input at the fuzzer's pace. The scan clears it.
    static const auto table = std::make_unique<ScannerTable>();
    Checkpoint checkpoint = TakeCheckpoint(machine);
    ScanInstalledScanners(platform, *table);
    checkpoint = CheckScan(machine, checkpoint, *table);
    // What each scanner owns is settled on the machine as the scan saw it: an earlier removal
    // may take an item that two scanners share, such as their INF.
    std::vector<ScannerItems> items;
    for (std::int32_t i = 0; i <= table->lastIndex; ++i) {
        items.push_back(ItemsOf(machine, table->rows[i]));
    }
    for (std::int32_t i = 0; i <= table->lastIndex; ++i) {
        const ScannerRecord& row = table->rows[i];
        const ScannerItems& allowed = items[static_cast<std::size_t>(i)];
        const std::string step = "the built-in removal of row " + std::to_string(i);
        const int strikes = checkpoint.strikes;
        const RemovalOutcome outcome =
            RemoveBuiltIn(platform, row, PlanBuiltInRemoval(platform, row)).outcome;
        checkpoint = CheckStep(machine, checkpoint, &allowed, step, &row);
        const std::string account =
            AccountOfOutcome(machine, outcome, allowed, row, checkpoint.strikes != strikes);
        if (!account.empty()) {
            ReportBreach(step, account, &row);
        }
    }
}

}  // namespace drvsweep::fuzz
