#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "discovery/scanner_table.h"
#include "platform/sim/sim_scenario.h"
#include "platform/sim/sim_windows.h"
#include "removal/backup_check.h"
#include "removal/backup_place.h"
#include "removal/backup_restore.h"
#include "removal/item_probe.h"
#include "removal/removal_plan.h"
#include "removal/scanner_removal.h"
#include "tests/support/test_machine.h"

// What a backup refuses and what stops a removal, over the simulated Windows: a backup that
// cannot be written removes nothing; a restore puts back nothing a removal did not take and
// writes over nothing; the folder of backups keeps the newest ten.
namespace drvsweep {
namespace {

constexpr char kS41[] = "USB\\VID_0C6E&PID_0410";
constexpr char kRoot[] = "C:\\ProgramData\\DrvSweep\\Backups";

class BackupTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(
            sim::LoadScenario(testing::FixturePath("installed_files_x64"), &machine, &error))
            << error;
        ScanInstalledScanners(machine.platform(), *table);
        for (std::int32_t i = 0; i <= table->lastIndex; ++i) {
            if (std::string(table->rows[i].devicePath.c_str()) == kS41) {
                s41 = table->rows[i];
            }
        }
        plan = PlanBuiltInRemoval(machine.platform(), s41);
        choice.toolVersion = "test";
        ASSERT_TRUE(PrepareBackupRoot(machine.platform(), "", &choice.root, &choice.rootFailure))
            << choice.rootFailure;
        ASSERT_EQ(choice.root, kRoot);
    }

    std::vector<std::string> PathsThere() {
        std::vector<std::string> paths;
        for (const PlanItem& item : plan.items) {
            for (const PathText& path : PlanItemPathsThere(machine.platform(), item)) {
                paths.push_back(path.c_str());
            }
        }
        return paths;
    }

    std::string BackUpAndRemove() {
        const ScannerRemovalResult removal = RemoveBuiltIn(machine.platform(), s41, plan, choice);
        EXPECT_TRUE(removal.backup.written) << removal.backup.failure;
        return removal.backup.folder;
    }

    // Rewrites the backup's manifest after `change`.
    void ChangeManifest(const std::string& folder, void (*change)(BackupManifest*)) {
        const std::string path = folder + "\\" + kManifestName;
        std::string json;
        ASSERT_TRUE(machine.files().ReadFile(path, &json));
        BackupManifest manifest;
        std::string error;
        ASSERT_TRUE(ManifestFromJson(json, &manifest, &error)) << error;
        change(&manifest);
        ASSERT_TRUE(machine.files().AddFile(path, ManifestToJson(manifest)));
    }

    sim::SimWindows machine;
    std::unique_ptr<ScannerTable> table = std::make_unique<ScannerTable>();
    ScannerRecord s41;
    RemovalPlan plan;
    BackupChoice choice;
};

TEST_F(BackupTest, ABackupThatCannotBeWrittenRemovesNothing) {
    const std::vector<std::string> before = PathsThere();
    ASSERT_FALSE(before.empty());
    // The disk fills up half-way through the backup.
    machine.faults().Add({"WriteFile", kRoot, 112, 3, -1});
    ScannerRemovalResult removal = RemoveBuiltIn(machine.platform(), s41, plan, choice);
    EXPECT_TRUE(removal.stoppedByBackup);
    EXPECT_NE(removal.backup.failure.find("cannot write"), std::string::npos)
        << removal.backup.failure;
    EXPECT_TRUE(removal.scannerPresent);
    EXPECT_EQ(PathsThere(), before);
    EXPECT_TRUE(machine.files().ListNames(kRoot).empty()) << "the unfinished backup is gone";

    // A file of the plan that cannot be read stops it as well, and so does a folder of backups
    // that could not be made.
    machine.faults().Clear();
    machine.faults().Add({"ReadFile", "qrns41ui.dll", 5, 0, -1});
    removal = RemoveBuiltIn(machine.platform(), s41, plan, choice);
    EXPECT_TRUE(removal.stoppedByBackup);
    EXPECT_NE(removal.backup.failure.find("qrns41ui.dll"), std::string::npos);
    machine.faults().Clear();
    BackupChoice noRoot = choice;
    noRoot.root.clear();
    noRoot.rootFailure = "the backup folder cannot be made";
    removal = RemoveBuiltIn(machine.platform(), s41, plan, noRoot);
    EXPECT_TRUE(removal.stoppedByBackup);
    EXPECT_EQ(removal.backup.failure, noRoot.rootFailure);
    EXPECT_EQ(PathsThere(), before);
}

TEST_F(BackupTest, ARestoreWritesOverNothingAndPutsBackNothingElse) {
    const std::string folder = BackUpAndRemove();
    // A different file stands where one of the scanner's was: it stays, and the restore says so.
    const std::string dll = "C:\\windows\\system32\\qrns41.dll";
    ASSERT_TRUE(machine.files().AddFile(dll, "a newer driver"));
    RestoreResult restored = RestoreBackup(machine.platform(), folder);
    ASSERT_FALSE(restored.refused) << restored.refusal;
    EXPECT_FALSE(restored.complete());
    std::string bytes;
    ASSERT_TRUE(machine.files().ReadFile(dll, &bytes));
    EXPECT_EQ(bytes, "a newer driver");
    bool reported = false;
    for (const RestoredItem& item : restored.items) {
        reported = reported || (item.path == dll && item.outcome == RestoreOutcome::LeftAsIs);
    }
    EXPECT_TRUE(reported);

    // A manifest that names a place no removal takes is refused whole, before anything is done.
    ChangeManifest(folder, [](BackupManifest* m) {
        m->files[0].original = "C:\\windows\\system32\\kernel32.dll";
    });
    ASSERT_TRUE(machine.files().RemoveFile("C:\\windows\\system32\\qrns41.dll"));
    const long changes = machine.registry().changeCount();
    restored = RestoreBackup(machine.platform(), folder);
    EXPECT_TRUE(restored.refused);
    EXPECT_TRUE(restored.items.empty());
    EXPECT_FALSE(machine.files().Exists("C:\\windows\\system32\\kernel32.dll"));
    EXPECT_EQ(machine.registry().changeCount(), changes);
    ChangeManifest(folder, [](BackupManifest* m) {
        m->files[0].original = "C:\\windows\\system32\\qrns41.dll";
        m->keys.push_back({"Software\\Microsoft\\Windows\\CurrentVersion\\Run", "native"});
    });
    EXPECT_TRUE(RestoreBackup(machine.platform(), folder).refused);
    ChangeManifest(folder, [](BackupManifest* m) {
        m->keys.pop_back();
        m->files[0].stored = "..\\..\\elsewhere.dll";
    });
    EXPECT_TRUE(RestoreBackup(machine.platform(), folder).refused);
}

TEST_F(BackupTest, TheFolderOfBackupsKeepsTheNewestTen) {
    for (int i = 10; i < 22; ++i) {
        const std::string name =
            std::string(kRoot) + "\\202501" + std::to_string(i) + "-101010-S41";
        ASSERT_TRUE(machine.files().AddFile(name + "\\" + kManifestName, "{}"));
    }
    ASSERT_TRUE(machine.files().AddFile(
        std::string(kRoot) + "\\20250101-000000-S41" + kUnfinishedBackupEnding + "\\a", "x"));
    ASSERT_TRUE(machine.files().AddFile(std::string(kRoot) + "\\notes\\keep.txt", "x"));
    const std::string newest = BackUpAndRemove();
    EXPECT_EQ(newest.rfind(std::string(kRoot) + "\\2", 0), 0u) << newest;
    const std::vector<std::string> kept = CompleteBackups(machine.platform(), kRoot);
    ASSERT_EQ(kept.size(), kBackupsKept);
    EXPECT_EQ(kept.front(), newest);
    EXPECT_EQ(kept.back(), std::string(kRoot) + "\\20250113-101010-S41");
    EXPECT_TRUE(machine.files().Exists(std::string(kRoot) + "\\notes\\keep.txt"));
    EXPECT_FALSE(machine.files().Exists(std::string(kRoot) + "\\20250101-000000-S41" +
                                        kUnfinishedBackupEnding));
}

}  // namespace
}  // namespace drvsweep
