#include "removal/removal_walk.h"

#include <memory>

#include "platform/win32_codes.h"
#include "removal/builtin_removal.h"
#include "removal/device_nodes_nt.h"
#include "removal/driver_package.h"
#include "removal/folder_tree.h"
#include "removal/one_file.h"

namespace drvsweep {

namespace {

// A file or folder is gone only when listing it finds nothing; the entry found must be of the
// kind the item names.
bool IsEntryPresent(FileSystem& files, const char* path, bool folder) {
    FoundFile found;
    const std::unique_ptr<FileSearch> search = files.FindFirst(path, &found);
    if (search == nullptr) {
        return false;
    }
    return ((found.attributes & kFileAttributeDirectory) != 0) == folder;
}

bool IsKeyPresent(Registry& registry, const char* path) {
    std::unique_ptr<RegistryKey> key;
    return registry.OpenKey(path, kKeyRead, &key) != kErrorFileNotFound;
}

bool IsItemPathPresent(Platform& platform, PlanItemKind kind, const char* path) {
    switch (kind) {
        case PlanItemKind::DeviceInstance:
            return IsDevicePresent(platform, path) == 1;
        case PlanItemKind::RegistryKey:
            return IsKeyPresent(platform.registry, path);
        case PlanItemKind::DriverFile:
        case PlanItemKind::DriverPackage:
            return IsEntryPresent(platform.files, path, false);
        case PlanItemKind::DataSourceFolder:
            return IsEntryPresent(platform.files, path, true);
    }
    return true;
}

// The item's action; true when Windows asked for a restart to finish it.
bool Act(Platform& platform, const PlanItem& item) {
    switch (item.kind) {
        case PlanItemKind::DeviceInstance:
            return RemoveDeviceNodesNt(platform, item.path.c_str());
        case PlanItemKind::RegistryKey:
            platform.registry.DeleteKey(item.path.c_str());
            return false;
        case PlanItemKind::DriverFile:
            DeleteOneFile(platform.files, item.path.c_str());
            return false;
        case PlanItemKind::DriverPackage:
            return RemoveDriverPackage(platform, item.path.c_str(), item.package);
        case PlanItemKind::DataSourceFolder:
            if (!item.dataSourceFile.empty()) {
                DeleteOneFile(platform.files, item.dataSourceFile.c_str());
            }
            DeleteTree(platform.files, platform.version.AnsiCodePage(), item.path.c_str());
            return false;
    }
    return false;
}

}  // namespace

std::vector<PathText> PlanItemPathsThere(Platform& platform, const PlanItem& item) {
    std::vector<PathText> paths;
    if (!item.path.empty() && IsItemPathPresent(platform, item.kind, item.path.c_str())) {
        paths.push_back(item.path);
    }
    const PathText& pnf = item.package.pnfPath;
    if (item.kind == PlanItemKind::DriverPackage && !pnf.empty() &&
        IsItemPathPresent(platform, item.kind, pnf.c_str())) {
        paths.push_back(pnf);
    }
    return paths;
}

bool IsPlanItemPresent(Platform& platform, const PlanItem& item) {
    return !PlanItemPathsThere(platform, item).empty();
}

RemovalOutcome CheckRemovalPlan(Platform& platform, const std::vector<PlanItem>& plan) {
    RemovalOutcome outcome;
    for (const PlanItem& item : plan) {
        ItemResult result;
        result.item = item;
        result.pathsThere = PlanItemPathsThere(platform, item);
        result.outcome = result.pathsThere.empty() ? ItemOutcome::Deleted : ItemOutcome::StillThere;
        outcome.items.push_back(result);
    }
    return outcome;
}

RemovalOutcome RunRemovalPlan(Platform& platform, const std::vector<PlanItem>& plan) {
    bool restartRequested = false;
    for (const PlanItem& item : plan) {
        restartRequested = Act(platform, item) || restartRequested;
    }
    // Probed once every action ran: a later action may take what an earlier one left (the
    // device key that the 9x family's class key named, say).
    RemovalOutcome outcome = CheckRemovalPlan(platform, plan);
    outcome.restartRequested = restartRequested;
    return outcome;
}

}  // namespace drvsweep
