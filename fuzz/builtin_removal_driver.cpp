#include <memory>
#include <vector>

#include "discovery/scanner_table.h"
#include "fuzz/fuzz_run.h"
#include "fuzz/restore_oracle.h"
#include "fuzz/step_checks.h"
#include "removal/backup_check.h"
#include "removal/backup_place.h"
#include "removal/backup_restore.h"
#include "removal/scanner_removal.h"

namespace drvsweep::fuzz {

namespace {

// The one folder a backup may write in.
constexpr char kBackupRoot[] = "C:\\DrvSweepBackups";

// Puts the removal's backup back, under the restore's oracle; the checkpoint after it.
Checkpoint RestoreUnderOracle(FuzzMachine& machine, const std::string& folder,
                              const ScannerRecord& row) {
    Platform& platform = machine.windows.platform();
    CheckedBackup backup;
    std::string failure;
    const bool sound = ReadCheckedBackup(platform, folder, &backup, &failure);
    const Checkpoint reading = TakeCheckpoint(machine);
    const RestoreResult restored = RestoreBackup(platform, folder);
    // A package staged again under a new name installed what it did under its old one.
    const std::string staged = "staged as ";
    for (const RestoredItem& item : restored.items) {
        if (item.kind == "infPackage" && item.outcome == RestoreOutcome::PutBack &&
            item.note.rfind(staged, 0) == 0) {
            machine.installedFiles[UpperAscii(item.note.substr(staged.size()))] =
                machine.installedFiles[UpperAscii(item.path)];
        }
    }
    const Checkpoint after = TakeCheckpoint(machine);
    const std::string account = AccountOfRestore(
        machine, CompareSnapshots(*reading.snapshot, *after.snapshot), sound ? &backup : nullptr);
    if (!account.empty()) {
        ReportBreach("the restore of " + folder, account, &row);
    }
    return after;
}

}  // namespace

void DriveBuiltInRemoval(FuzzInput& input, FuzzMachine& machine) {
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
    BackupChoice backup;
    backup.toolVersion = "fuzz";
    // A folder of backups that cannot be made stops every removal: the oracle then sees each
    // remove nothing.
    if (!PrepareBackupRoot(platform, kBackupRoot, &backup.root, &backup.rootFailure)) {
        backup.root.clear();
    }
    checkpoint = TakeCheckpoint(machine);
    for (std::int32_t i = 0; i <= table->lastIndex; ++i) {
        const ScannerRecord& row = table->rows[i];
        ScannerItems allowed = items[static_cast<std::size_t>(i)];
        allowed.writableTrees.push_back(UpperAscii(kBackupRoot));
        const std::string step = "the built-in removal of row " + std::to_string(i);
        const int strikes = checkpoint.strikes;
        const ScannerRemovalResult removal =
            RemoveBuiltIn(platform, row, PlanBuiltInRemoval(platform, row), backup);
        checkpoint = CheckStep(machine, checkpoint, &allowed, step, &row);
        const std::string account =
            AccountOfOutcome(machine, removal.outcome, allowed, row, checkpoint.strikes != strikes);
        if (!account.empty()) {
            ReportBreach(step, account, &row);
        }
        // Now and then the removal is put back at once, under the restore's oracle.
        if (removal.backup.written && input.Flag()) {
            checkpoint = RestoreUnderOracle(machine, removal.backup.folder, row);
            // Staged again, a package may list the devices of rows still to come.
            for (std::int32_t j = i + 1; j <= table->lastIndex; ++j) {
                Merge(ItemsOf(machine, table->rows[j]), &items[static_cast<std::size_t>(j)]);
            }
        }
    }
}

}  // namespace drvsweep::fuzz
