#include "removal/backup_writer.h"

#include <vector>

#include "platform/iso_time.h"
#include "removal/backup_files.h"
#include "removal/backup_manifest.h"
#include "removal/backup_place.h"
#include "removal/backup_store.h"
#include "removal/folder_tree.h"
#include "removal/item_probe.h"
#include "removal/package_folder.h"
#include "removal/registry_export.h"

namespace drvsweep {

namespace {

constexpr int kFolderNameTries = 10;

const char* ViewWord(RegistryView view) {
    return view == RegistryView::Wow32 ? "wow32" : "native";
}

// Backs up one item of the plan: what of it is there now.
bool BackUpItem(Platform& platform, BackupStore& writer, const RemovalPlan& plan,
                const PlanItem& item) {
    std::string stored;
    for (const PathText& there : PlanItemPathsThere(platform, item)) {
        const std::string path = there.c_str();
        switch (item.kind) {
            case PlanItemKind::DeviceInstance:
                break;
            case PlanItemKind::DriverFile:
            case PlanItemKind::DriverPackage:
                if (!writer.StoredName(path, &stored) || !writer.CopyFile(path, stored, true)) {
                    return false;
                }
                break;
            case PlanItemKind::DataSourceFolder:
                if (!writer.StoredName(path, &stored) || !writer.CopyTree(path, stored, true)) {
                    return false;
                }
                break;
            case PlanItemKind::EmptyFolder:
                writer.manifest().folders.push_back(path);
                break;
            case PlanItemKind::RegistryKey:
            case PlanItemKind::ComClassKey:
                if (!ExportKeyTree(platform.registry, path, item.view, &writer.keys())) {
                    return writer.Fail("cannot read the registry key " + path);
                }
                writer.manifest().keys.push_back(
                    {RegFilePathOf(path, item.view), ViewWord(item.view)});
                break;
        }
    }
    if (item.kind == PlanItemKind::DriverPackage && CurrentFamily(platform.version) == Family::Nt) {
        return BackUpPackageFolder(platform, writer, item, plan);
    }
    return true;
}

}  // namespace

BackupResult WriteBackup(Platform& platform, const ScannerRecord& scanner, const RemovalPlan& plan,
                         const std::string& root, const char* toolVersion) {
    BackupResult result;
    const UtcTime now = platform.clock.UtcNow();
    // The backups made in this second already come first.
    int number = 1;
    std::vector<FoundFile> entries;
    if (ListFolder(platform.files, root, &entries)) {
        const std::string stamp = BackupTimeStamp(now);
        for (const FoundFile& entry : entries) {
            number += std::string(entry.name.c_str()).rfind(stamp, 0) == 0 ? 1 : 0;
        }
    }
    std::string final;
    for (int attempt = 0; attempt < kFolderNameTries && final.empty(); ++attempt) {
        const std::string candidate =
            root + "\\" + BackupFolderName(now, number + attempt, scanner.description.c_str());
        std::uint32_t attributes = 0;
        if (!FindEntry(platform.files, candidate, &attributes) &&
            !FindEntry(platform.files, candidate + kUnfinishedBackupEnding, &attributes)) {
            final = candidate;
        }
    }
    if (final.empty() || final.size() + 100 >= kMaxPath) {
        result.failure = "no free folder name for the backup in " + root;
        return result;
    }
    const std::string unfinished = final + kUnfinishedBackupEnding;
    BackupStore writer(platform, unfinished);
    const bool nt = CurrentFamily(platform.version) == Family::Nt;
    BackupManifest& manifest = writer.manifest();
    manifest.toolVersion = toolVersion;
    manifest.created = IsoTimeText(now);
    manifest.family = nt ? "nt" : "9x";
    manifest.codePage = platform.version.AnsiCodePage().id();
    manifest.programBits = sizeof(void*) == 8 ? 64 : 32;
    manifest.devicePath = scanner.devicePath.c_str();
    manifest.description = scanner.description.c_str();
    manifest.scannerInf = scanner.infPath.c_str();
    bool ok = writer.Start();
    manifest.windowsFolder = writer.windows();
    for (const PlanItem& item : plan.items) {
        if (!ok) {
            break;
        }
        manifest.items.push_back(
            {PlanItemKindName(item.kind), item.path.c_str(),
             item.kind == PlanItemKind::ComClassKey || item.kind == PlanItemKind::RegistryKey
                 ? ViewWord(item.view)
                 : ""});
        ok = BackUpItem(platform, writer, plan, item);
    }
    ok = ok && writer.Finish(nt) && platform.files.RenameFile(unfinished.c_str(), final.c_str());
    if (!ok) {
        result.failure = writer.failure().empty() ? "cannot rename " + unfinished + " to " + final
                                                  : writer.failure();
        DeleteTree(platform.files, platform.version.AnsiCodePage(), unfinished.c_str());
        return result;
    }
    result.written = true;
    result.folder = final;
    PruneBackups(platform, root, kBackupsKept);
    return result;
}

}  // namespace drvsweep
