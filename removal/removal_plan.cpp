#include "removal/removal_plan.h"

#include "platform/restart_deletion.h"
#include "removal/device_nodes_9x.h"
#include "removal/removal_walk.h"

namespace drvsweep {

namespace {

PlanItem Item(PlanItemKind kind, const PathText& path) {
    PlanItem item;
    item.kind = kind;
    item.path = path;
    return item;
}

// Adds the items that have a path there which Windows is not already set to delete at the
// restart: a removal run again before the restart has nothing new to do for those.
void AddPresent(Platform& platform, const ScheduledDeletions& scheduled,
                const std::vector<PlanItem>& items, std::vector<PlanItem>* plan) {
    for (const PlanItem& item : items) {
        for (const PathText& path : PlanItemPathsThere(platform, item)) {
            if (!scheduled.Holds(path.c_str())) {
                plan->push_back(item);
                break;
            }
        }
    }
}

}  // namespace

std::vector<PlanItem> DeviceItems(Platform& platform, const char* devicePath) {
    std::vector<PlanItem> items;
    PathText path;
    if (CurrentFamily(platform.version) == Family::Nt) {
        if (*devicePath != '\0' && path.assign(devicePath)) {
            items.push_back(Item(PlanItemKind::DeviceInstance, path));
        }
        return items;
    }
    PathText deviceKey;
    PathText classKey;
    if (!DeviceKeys9x(platform.registry, platform.version.AnsiCodePage(), devicePath, &deviceKey,
                      &classKey)) {
        return items;
    }
    // The class key goes first, while the instance that names it is still there.
    if (!classKey.empty()) {
        items.push_back(Item(PlanItemKind::RegistryKey, classKey));
    }
    items.push_back(Item(PlanItemKind::RegistryKey, deviceKey));
    return items;
}

std::vector<PlanItem> DriverFileItems(Platform& platform, const char* driverDll,
                                      std::int32_t busKind) {
    std::vector<PlanItem> items;
    for (const PathText& path : DriverFilePaths(platform, driverDll, busKind)) {
        items.push_back(Item(PlanItemKind::DriverFile, path));
    }
    return items;
}

PlanItem DriverPackageItem(Platform& platform, const char* infPath) {
    PlanItem item;
    item.kind = PlanItemKind::DriverPackage;
    // The INF path comes from a 260-byte scanner record, so it fits.
    item.path.assign(infPath);
    item.package = DriverPackageTargetOf(platform, infPath);
    return item;
}

std::vector<PlanItem> DataSourceItems(Platform& platform, const char* twainFolder) {
    std::vector<PlanItem> items;
    for (const TwainDataSourceTarget& target : TwainDataSourceTargets(platform, twainFolder)) {
        // The data source file lies inside the folder, so it fits only where the folder does.
        if (!target.folder.empty()) {
            PlanItem item = Item(PlanItemKind::DataSourceFolder, target.folder);
            item.dataSourceFile = target.dataSource;
            items.push_back(item);
        }
    }
    return items;
}

std::vector<PlanItem> PlanBuiltInRemoval(Platform& platform, const ScannerRecord& scanner) {
    std::vector<PlanItem> plan;
    const ScheduledDeletions scheduled(platform.registry, platform.files, platform.version);
    // A driver package without a device names a hardware ID its INF lists, not a device key of
    // the buses scanned: it has no device step.
    if (scanner.packageOnly == 0) {
        AddPresent(platform, scheduled, DeviceItems(platform, scanner.devicePath.c_str()), &plan);
    }
    // Without its INF nothing tells which files are the scanner's: only the device goes.
    if (scanner.infPath.empty()) {
        return plan;
    }
    AddPresent(platform, scheduled,
               DriverFileItems(platform, scanner.driverDll.c_str(), scanner.busKind), &plan);
    AddPresent(platform, scheduled, {DriverPackageItem(platform, scanner.infPath.c_str())}, &plan);
    AddPresent(platform, scheduled, DataSourceItems(platform, scanner.twainFolder.c_str()), &plan);
    return plan;
}

const char* PlanItemKindName(PlanItemKind kind) {
    switch (kind) {
        case PlanItemKind::DeviceInstance:
            return "deviceInstance";
        case PlanItemKind::RegistryKey:
            return "registryKey";
        case PlanItemKind::DriverFile:
            return "driverFile";
        case PlanItemKind::DriverPackage:
            return "infPackage";
        case PlanItemKind::DataSourceFolder:
            return "dataSourceFolder";
    }
    return "unknown";
}

}  // namespace drvsweep
