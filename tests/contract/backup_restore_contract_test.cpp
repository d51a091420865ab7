#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "discovery/scanner_table.h"
#include "platform/text_reads.h"
#include "platform/win32_codes.h"
#include "removal/backup_check.h"
#include "removal/backup_files.h"
#include "removal/backup_place.h"
#include "removal/backup_restore.h"
#include "removal/registry_export.h"
#include "removal/removal_plan.h"
#include "removal/scanner_removal.h"
#include "tests/support/test_machine.h"

// A removal's way back, over the simulated Windows and over the real one under Wine alike:
// every scanner of a machine of real driver packages is removed with a backup, and each backup
// put back gives the same files, byte for byte, the same keys, and the package staged again.
namespace drvsweep {
namespace {

using testing::OpenScenarioMachine;

constexpr char kRoot[] = "C:\\drvsweep-test-backups";

// Every file the plan deletes, with its bytes, and every key with its values.
struct Snapshot {
    std::map<std::string, std::string> files;
    std::vector<RegTextKey> keys;
    std::vector<std::string> infTexts;
};

void AddTree(FileSystem& files, const std::string& folder, Snapshot* snapshot) {
    std::vector<FoundFile> entries;
    ASSERT_TRUE(ListFolder(files, folder, &entries)) << folder;
    for (const FoundFile& entry : entries) {
        const std::string path = folder + "\\" + entry.name.c_str();
        if ((entry.attributes & kFileAttributeDirectory) != 0) {
            AddTree(files, path, snapshot);
        } else {
            ASSERT_EQ(files.ReadWholeFile(path.c_str(), kLargestBackupFile, &snapshot->files[path]),
                      FileRead::Read)
                << path;
        }
    }
}

Snapshot Take(Platform& platform, const RemovalPlan& plan) {
    Snapshot snapshot;
    for (const PlanItem& item : plan.items) {
        const std::string path = item.path.c_str();
        switch (item.kind) {
            case PlanItemKind::DriverFile:
                EXPECT_EQ(platform.files.ReadWholeFile(path.c_str(), kLargestBackupFile,
                                                       &snapshot.files[path]),
                          FileRead::Read)
                    << path;
                break;
            case PlanItemKind::DriverPackage:
                snapshot.infTexts.emplace_back();
                EXPECT_EQ(platform.files.ReadWholeFile(path.c_str(), kLargestBackupFile,
                                                       &snapshot.infTexts.back()),
                          FileRead::Read);
                break;
            case PlanItemKind::DataSourceFolder:
                AddTree(platform.files, path, &snapshot);
                break;
            case PlanItemKind::ComClassKey:
                EXPECT_TRUE(ExportKeyTree(platform.registry, path, item.view, &snapshot.keys));
                break;
            default:
                break;
        }
    }
    return snapshot;
}

// Whether some INF of the INF folder holds these bytes: the package staged again.
bool InfFolderHolds(Platform& platform, const std::string& text) {
    PathText windows;
    EXPECT_TRUE(ReadWindowsFolder(platform.files, platform.version.AnsiCodePage(), &windows));
    const std::string folder = std::string(windows.c_str()) + "\\inf";
    std::vector<FoundFile> entries;
    EXPECT_TRUE(ListFolder(platform.files, folder, &entries));
    for (const FoundFile& entry : entries) {
        std::string bytes;
        if (platform.files.ReadWholeFile((folder + "\\" + entry.name.c_str()).c_str(),
                                         kLargestBackupFile, &bytes) == FileRead::Read &&
            bytes == text) {
            return true;
        }
    }
    return false;
}

bool SameKeys(const std::vector<RegTextKey>& a, const std::vector<RegTextKey>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].path != b[i].path || a[i].values.size() != b[i].values.size()) {
            return false;
        }
        for (std::size_t v = 0; v < a[i].values.size(); ++v) {
            const RegTextValue& x = a[i].values[v];
            const RegTextValue& y = b[i].values[v];
            if (x.name != y.name || x.type != y.type || x.bytes != y.bytes) {
                return false;
            }
        }
    }
    return true;
}

TEST(BackupRestoreContract, EachRemovalPutBackGivesTheSameFilesKeysAndPackage) {
    const std::unique_ptr<testing::TestMachine> machine = OpenScenarioMachine();
    Platform& platform = machine->platform();
    const auto table = std::make_unique<ScannerTable>();
    ScanInstalledScanners(platform, *table);
    ASSERT_GE(table->lastIndex, 0);
    BackupChoice backup;
    backup.toolVersion = "test";
    ASSERT_TRUE(PrepareBackupRoot(platform, kRoot, &backup.root, &backup.rootFailure))
        << backup.rootFailure;

    std::vector<std::string> backups;
    std::vector<Snapshot> before;
    std::vector<RemovalPlan> plans;
    for (std::int32_t row = 0; row <= table->lastIndex; ++row) {
        const ScannerRecord& scanner = table->rows[row];
        plans.push_back(PlanBuiltInRemoval(platform, scanner));
        before.push_back(Take(platform, plans.back()));
        const ScannerRemovalResult removal = RemoveBuiltIn(platform, scanner, plans.back(), backup);
        ASSERT_TRUE(removal.backup.written) << removal.backup.failure;
        EXPECT_FALSE(removal.scannerPresent) << scanner.devicePath.c_str();
        for (const auto& file : before.back().files) {
            std::string bytes;
            EXPECT_EQ(platform.files.ReadWholeFile(file.first.c_str(), kLargestBackupFile, &bytes),
                      FileRead::Missing)
                << file.first;
        }
        backups.push_back(removal.backup.folder);
    }
    EXPECT_EQ(CompleteBackups(platform, backup.root).size(), backups.size());

    for (std::size_t i = 0; i < backups.size(); ++i) {
        const RestoreResult restored = RestoreBackup(platform, backups[i]);
        ASSERT_FALSE(restored.refused) << restored.refusal;
        for (const RestoredItem& item : restored.items) {
            EXPECT_EQ(item.outcome, RestoreOutcome::PutBack)
                << item.kind << " " << item.path << " " << item.note;
        }
        for (const auto& file : before[i].files) {
            std::string bytes;
            EXPECT_EQ(platform.files.ReadWholeFile(file.first.c_str(), kLargestBackupFile, &bytes),
                      FileRead::Read)
                << file.first;
            EXPECT_EQ(bytes, file.second) << file.first;
        }
        const Snapshot after = Take(platform, [&] {
            RemovalPlan keysOnly;
            for (const PlanItem& item : plans[i].items) {
                if (item.kind == PlanItemKind::ComClassKey) {
                    keysOnly.items.push_back(item);
                }
            }
            return keysOnly;
        }());
        EXPECT_TRUE(SameKeys(after.keys, before[i].keys)) << backups[i];
        for (const std::string& inf : before[i].infTexts) {
            EXPECT_TRUE(InfFolderHolds(platform, inf)) << "the package is staged again";
        }
        // Put back once more, everything is there already; nothing is written over.
        const RestoreResult again = RestoreBackup(platform, backups[i]);
        EXPECT_TRUE(again.complete());
        for (const RestoredItem& item : again.items) {
            if (item.kind != "infPackage") {
                EXPECT_EQ(item.outcome, RestoreOutcome::AlreadyThere) << item.path;
            }
        }
    }

    // A backup changed since is refused whole.
    const std::string manifest = backups[0] + "\\" + kManifestName;
    CheckedBackup checked;
    std::string failure;
    ASSERT_TRUE(ReadCheckedBackup(platform, backups[0], &checked, &failure)) << failure;
    ASSERT_FALSE(checked.manifest.files.empty());
    const std::string stored = backups[0] + "\\" + checked.manifest.files[0].stored;
    std::string bytes;
    ASSERT_EQ(platform.files.ReadWholeFile(stored.c_str(), kLargestBackupFile, &bytes),
              FileRead::Read);
    bytes += "changed";
    ASSERT_TRUE(platform.files.WriteWholeFile(stored.c_str(), bytes));
    const RestoreResult refused = RestoreBackup(platform, backups[0]);
    EXPECT_TRUE(refused.refused);
    EXPECT_NE(refused.refusal.find(checked.manifest.files[0].stored), std::string::npos)
        << refused.refusal;
}

}  // namespace
}  // namespace drvsweep
